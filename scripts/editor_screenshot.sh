#!/usr/bin/env bash
# Runs the list editor on the bundled list under a virtual X display and
# saves a picture of its window.
# Usage: scripts/editor_screenshot.sh [BUILD_DIR [OUTPUT_PNG [DATA_INI]]]
# DATA_INI is a list to show instead of the bundled one, with the bundled
# pictures. Needs xvfb, xdotool and imagemagick. The list is a copy, so
# nothing in sample/ is ever touched.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
output=${2:-docs/editor.png}
[ -x "$build/prizeedit" ] || { echo "no $build/prizeedit: build it first" >&2; exit 1; }

list=$(mktemp -d)
cp -r sample/data.ini sample/picture "$list/"
[ -z "${3:-}" ] || cp "$3" "$list/data.ini"
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp &
xvfb=$!
editor=
cleanup() {
    [ -n "$editor" ] && kill "$editor" 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
    rm -rf "$list"
}
trap cleanup EXIT
export DISPLAY=$display
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

QT_QPA_PLATFORM=xcb "$build/prizeedit" "$list/data.ini" &
editor=$!
window=$(xdotool search --sync --onlyvisible --name 'data.ini' | head -1)
xdotool windowmove --sync "$window" 0 0
sleep 1.5 # the odds come from a worker thread; let them and the first frames land
geometry=$(xdotool getwindowgeometry --shell "$window")
eval "$geometry"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$output"
echo "saved $output (${WIDTH}x${HEIGHT})"
