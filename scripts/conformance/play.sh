#!/usr/bin/env bash
# Prints the lines a movie traces in Ruffle (headless Chromium), or with
# --pair ORIGINAL COPY plays both and shows where their traces part.
#   scripts/conformance/play.sh MOVIE [SECONDS]
#   scripts/conformance/play.sh --pair ORIGINAL COPY [SECONDS]
#   (--times: the second of each line; --verbose: the player's other messages)
# The play time defaults to FRAMESTOW_PLAY_SECONDS, else 3 seconds.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
bash "$here/setup.sh" >&2
exec node "$here/play.js" "$@"
