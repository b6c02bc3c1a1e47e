#!/usr/bin/env bash
# Runs the game under a virtual X display and saves a picture of the screen.
# Usage: scripts/screenshot.sh [BUILD_DIR [OUTPUT_PNG]]
# Needs xvfb, xdotool and imagemagick; the window is placed at the top left
# and the picture is cut to the window with its title bar-less client area.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
output=${2:-docs/screenshot.png}
[ -x "$build/prizedraw" ] || { echo "no $build/prizedraw: build it first" >&2; exit 1; }

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 640x480x24 -nolisten tcp &
xvfb=$!
game=
cleanup() {
    [ -n "$game" ] && kill "$game" 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
export DISPLAY=$display
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

QT_QPA_PLATFORM=xcb "$build/prizedraw" &
game=$!
window=$(xdotool search --sync --onlyvisible --name 'Powered by' | head -1)
sleep 1 # let the first frames reach the screen
geometry=$(xdotool getwindowgeometry --shell "$window")
eval "$geometry"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$output"
echo "saved $output (${WIDTH}x${HEIGHT})"
