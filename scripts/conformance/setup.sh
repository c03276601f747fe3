#!/usr/bin/env bash
# Prepares the real-player check: Debian's chromium, and the npm packages of
# package.json (the web build of Ruffle and playwright-core) installed from
# the lock file into the build folder. Does nothing when all is in place.
#   scripts/conformance/setup.sh [BUILD_FOLDER]   (default: build/conformance)
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repo="$(cd "$here/../.." && pwd)"
work="${1:-${FRAMESTOW_CONFORMANCE_DIR:-$repo/build/conformance}}"

bash "$here/install-chromium.sh"

if ! command -v npm >/dev/null 2>&1; then
  echo "setup: npm is needed (Node.js 20 or later)" >&2
  exit 1
fi

mkdir -p "$work"
if ! cmp -s "$here/package-lock.json" "$work/package-lock.json" \
    || ! cmp -s "$here/package.json" "$work/package.json" \
    || [ ! -d "$work/node_modules/playwright-core" ] \
    || [ ! -d "$work/node_modules/@ruffle-rs/ruffle" ]; then
  cp "$here/package.json" "$here/package-lock.json" "$work/"
  echo "Installing the player's npm packages into $work"
  # playwright-core never downloads a browser; the check uses Debian's.
  (cd "$work" && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --ignore-scripts --no-audit --no-fund)
fi
