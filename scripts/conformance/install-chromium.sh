#!/usr/bin/env bash
# Installs Debian's chromium for the real-player check (make conformance).
# Does nothing when it is already there; uses sudo when not run as root.
set -euo pipefail

if dpkg-query -W -f='${Status}' chromium 2>/dev/null | grep -q "install ok installed" \
    && [ -x /usr/bin/chromium ]; then
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi

echo "Installing: chromium"
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends chromium
