#!/usr/bin/env bash
# Shows the main job on the bundled sample movie. Filled in with the command-line tool.
set -euo pipefail
echo "Built in ${1:-build/release}."
