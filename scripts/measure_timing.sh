#!/usr/bin/env bash
# Measures the game under a virtual X display: the time from process start to
# the first shown frame with the bundled prize list, and Timer1's tick
# interval (median and 95th percentile) over whole spins.
# Usage: scripts/measure_timing.sh [BUILD_DIR [SPINS]]   (needs xvfb and xdotool)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
spins=${2:-3}
program=$build/tests/window/window_timing
[ -x "$program" ] || { echo "no $program: build with tests first" >&2; exit 1; }

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 640x480x24 -nolisten tcp &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
export DISPLAY=$display
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

start=$(date +%s%N)
output=$(QT_QPA_PLATFORM=xcb "$program" "$build" "$spins")
echo "$output" | grep -v first_frame_realtime_ns
frame=$(echo "$output" | awk '/first_frame_realtime_ns/ {print $2}')
echo "first frame after $(( (frame - start) / 1000000 )) ms from process start"
