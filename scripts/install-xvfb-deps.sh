#!/usr/bin/env bash
# Installs what scripts/drive-app-xvfb.sh needs besides the build: a virtual X
# server, a window manager, xdotool, the X tools and ImageMagick for
# screenshots. Optional (the build and the tests need none of it); safe to run
# again: it does nothing when everything is present.
set -euo pipefail

packages=(xvfb openbox xdotool x11-utils x11-apps imagemagick)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
