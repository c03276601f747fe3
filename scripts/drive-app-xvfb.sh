#!/usr/bin/env bash
# Uses the desktop app as a person would, under a virtual X server with a
# window manager: keys and mouse clicks through xdotool, screenshots of the
# whole screen, and checks of the files afterwards. Run on demand (it is not
# part of the tests or of CI); install its tools first with
# `bash scripts/install-xvfb-deps.sh`.
#
# Usage: bash scripts/drive-app-xvfb.sh [BUILD_DIR] [OUT_DIR]
#   BUILD_DIR  a built preset (default build/debug)
#   OUT_DIR    where the screenshots go (default BUILD_DIR/xvfb)
# Exits 0 when every check passed.
set -euo pipefail

build="${1:-build/debug}"
out="${2:-$build/xvfb}"
app="$(realpath "$build/src/app/framestow")"
cli="$(realpath "$build/src/cli/framestow-cli")"
maker="$(realpath "$build/tools/sample/framestow-make-sample")"
for tool in Xvfb openbox xdotool xprop xwininfo import python3; do
  command -v "$tool" >/dev/null || { echo "drive-app-xvfb.sh: $tool is missing (bash scripts/install-xvfb-deps.sh)" >&2; exit 2; }
done
mkdir -p "$out"
out="$(realpath "$out")"
work="$(mktemp -d)"
# The app remembers its folder in its settings: never the user's own.
export XDG_CONFIG_HOME="$work/config"

pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

display=99
while [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
export DISPLAY=":$display"
Xvfb "$DISPLAY" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 1

failures=0
check() {  # check DESCRIPTION COMMAND...
  if "${@:2}"; then echo "ok    $1"; else echo "FAIL  $1"; failures=$((failures + 1)); fi
}
same() { cmp -s "$1" "$2"; }
movable_at_frame1() { "$cli" analyze "$1" --frame 1 | sed -n 's/^Movable bytes: //p'; }
shot() { import -window root "$out/$1.png"; echo "      screenshot $out/$1.png"; }
keys() { for k in "$@"; do xdotool key --clearmodifiers "$k"; sleep 0.25; done; }
type_text() { xdotool type --delay 15 "$1"; sleep 0.3; }

start_app() {  # start_app [ENV=VALUE...] -- [ARGS...]
  local env=()
  while [ "$1" != "--" ]; do env+=("$1"); shift; done
  shift
  (cd "$work" && exec env "${env[@]}" "$app" "$@") &
  app_pid=$!
  pids+=("$app_pid")
  wid="$(xdotool search --sync --onlyvisible --name '^Framestow$' | head -1)"
  xdotool windowactivate --sync "$wid"
  sleep 0.7
}
app_running() { kill -0 "$app_pid" 2>/dev/null; }
app_ended_with() {  # waits up to 5 s
  for _ in $(seq 50); do app_running || break; sleep 0.1; done
  local status=0
  wait "$app_pid" || status=$?
  [ "$status" -eq "$1" ]
}

# Clicks the middle of a rectangle given in the layout's dialog units. The
# window shows the whole page at scale 1: its width is 265 units; the banner
# (384 x 53) spans it between 7-pixel margins and the controls start 7 pixels
# under it, where the template puts y = 62.
click_units() {  # click_units X Y WIDTH HEIGHT
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  read -r px py < <(awk -v w="$WIDTH" -v h="$HEIGHT" -v x="$1" -v y="$2" -v cw="$3" -v ch="$4" 'BEGIN {
    ux = w / 265; bh = int((w - 14) * 53 / 384); uy = (h - 14 - bh) / 311; shift = 14 + bh - 62 * uy;
    printf "%d %d\n", (x + cw / 2) * ux, (y + ch / 2) * uy + shift }')
  xdotool mousemove --window "$wid" "$px" "$py" click 1
  sleep 0.4
}
click_save() { click_units 200 303 40 14; }
click_path_field() { click_units 15 70 180 12; }

"$maker" "$work/intro.swf" >/dev/null
cp "$work/intro.swf" "$work/original.swf"
cp "$work/intro.swf" "$work/other.swf"
"$cli" save "$work/original.swf" --frame 2 --output "$work/expected.swf" >/dev/null

echo "== 1. framestow intro.swf: loaded from the command line; Alt+A; type 2 in the frame field; click Save"
start_app -- intro.swf
check "the window has an icon (_NET_WM_ICON)" bash -c "xprop -id $wid _NET_WM_ICON | grep -q '='"
shot 1-loaded
keys alt+a
sleep 1
shot 2-analysed
keys ctrl+a
type_text 2
click_save
shot 3-saved
check "intro.swf now has its assets out of frame 1" test "$(movable_at_frame1 "$work/intro.swf")" = 0
check "intro.swf is the movie the command line writes for frame 2" same "$work/intro.swf" "$work/expected.swf"
check "intro_old.swf is the movie as loaded" same "$work/intro_old.swf" "$work/original.swf"
keys Return
check "Enter after Save leaves the window open (the focus is not on Exit)" app_running
keys alt+p
sleep 1
shot 3b-profile
check "Alt+P opens the stream profile" bash -c "xdotool search --name '^Stream profile$' >/dev/null"
profile_wid="$(xdotool search --name '^Stream profile$' | head -1)"
[ -n "$profile_wid" ] && xdotool windowclose "$profile_wid"
sleep 0.4
xdotool windowactivate --sync "$wid" 2>/dev/null || true

echo "== 2. Down, Up (Save comes back); type other.swf's path without Enter; Alt+S (the file already has that layout); Alt+S again; Enter in the path field"
keys Down Up
click_path_field
keys ctrl+a
type_text "$work/other.swf"
before="$(stat -c %Y.%s "$work/intro.swf")"
sleep 1.1
keys alt+s
shot 4-saved-again-with-other-path-typed
check "other.swf, typed but never loaded, is untouched" same "$work/other.swf" "$work/original.swf"
check "other.swf got no backup" test ! -e "$work/other_old.swf"
check "intro.swf, which already has that layout, is not written again" test "$(stat -c %Y.%s "$work/intro.swf")" = "$before"
check "... and gets no second backup" test ! -e "$work/intro_old_2.swf"
check "intro.swf is still the movie for frame 2" same "$work/intro.swf" "$work/expected.swf"
check "intro_old.swf is still the movie as first loaded" same "$work/intro_old.swf" "$work/original.swf"
before="$(stat -c %Y.%s "$work/intro.swf")"
sleep 1.1
keys alt+s
check "a second Alt+S with nothing changed writes nothing" test "$(stat -c %Y.%s "$work/intro.swf")" = "$before"
keys alt+a
shot 5-alt-a-with-analyze-off
click_path_field
keys Return alt+a ctrl+a
type_text 2
keys Return alt+s
shot 6-other-loaded-and-saved
check "Enter in the path field loaded other.swf: Save now writes it" same "$work/other.swf" "$work/expected.swf"
check "... and keeps its own backup" same "$work/other_old.swf" "$work/original.swf"
keys alt+e
check "Alt+E ends the app with status 0" app_ended_with 0

echo "== 3. A large movie: Alt+A, then Alt+S, Alt+E, Enter, Escape, letters while it is analysed"
python3 - "$work/huge.swf" 8000000 <<'PY'
# An FWS movie with a bitmap exported in frame 1, millions of empty tags of an
# unused code after it, and a DoAction calling attachMovie in frame 2.
import struct, sys
def tag(code, body=b''):
    if len(body) < 63:
        return struct.pack('<H', code << 6 | len(body)) + body
    return struct.pack('<HI', code << 6 | 63, len(body)) + body
def rect(values, nbits=15):
    bits = format(nbits, '05b') + ''.join(format(v, '0%db' % nbits) for v in values)
    bits += '0' * (-len(bits) % 8)
    return bytes(int(bits[i:i + 8], 2) for i in range(0, len(bits), 8))
push = b'\0attachMovie\0'
body = (tag(9, b'\xff\xff\xff') + tag(20, struct.pack('<HBHH', 1, 5, 1, 1) + b'x' * 2000) +
        tag(56, struct.pack('<HH', 1, 1) + b'asset\0') + tag(255) * int(sys.argv[2]) + tag(1) +
        tag(12, b'\x96' + struct.pack('<H', len(push)) + push + b'\x52\0') + tag(1) + tag(0))
rest = rect((0, 8000, 0, 6000)) + struct.pack('<HH', 12 << 8, 2) + body
open(sys.argv[1], 'wb').write(b'FWS\x06' + struct.pack('<I', 8 + len(rest)) + rest)
PY
cp "$work/huge.swf" "$work/huge-original.swf"
start_app -- huge.swf
xdotool key --clearmodifiers alt+a
sleep 0.2
shot 7-analysing
xdotool key --clearmodifiers alt+s alt+e Return Escape
xdotool type "xyz"
xdotool key --clearmodifiers alt+a alt+s
sleep 6
shot 8-after-the-analysis
check "the app is still running" app_running
check "huge.swf is untouched" same "$work/huge.swf" "$work/huge-original.swf"
check "no backup and no stray file was written" test "$(ls "$work" | grep -c '^huge')" = 2
keys alt+e
check "Alt+E ends it" app_ended_with 0

echo "== 4. QT_SCALE_FACTOR=2 on the 1280 x 800 screen: the window fits and scrolls"
start_app QT_SCALE_FACTOR=2 -- intro.swf
read -r X Y WIDTH HEIGHT < <(xwininfo -id "$wid" | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
  /Width:/ {w = $NF} /Height:/ {h = $NF} END {print x, y, w, h}')
echo "      window $WIDTH x $HEIGHT at $X,$Y (inside its frame)"
check "the window lies within the screen" test "$((Y + HEIGHT))" -le 800 -a "$((X + WIDTH))" -le 1280
shot 9-scale2-small-screen
keys Tab Tab Tab Tab Tab Tab Tab
shot 10-scale2-tabbed-to-exit
keys Return
check "Tab reaches Exit and Enter on it closes the app" app_ended_with 0

echo
if [ "$failures" -eq 0 ]; then echo "all checks passed"; else echo "$failures check(s) failed"; fi
[ "$failures" -eq 0 ]
