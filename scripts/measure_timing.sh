#!/usr/bin/env bash
# Measures the game under a virtual X display: the time from process start to
# the first shown frame and to the last picture decoded, peak memory, and
# Timer1's tick interval (median and 95th percentile) and CPU time over whole
# spins. bench/run.sh runs this and more and prints one table.
# Usage: scripts/measure_timing.sh [BUILD_DIR [SPINS [DATA_FOLDER]]]   (needs xvfb and xdotool)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
spins=${2:-3}
data=${3:-$build}
program=$build/bench/window_timing
[ -x "$program" ] || { echo "no $program: build with tests first" >&2; exit 1; }

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 640x480x24 -nolisten tcp &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
export DISPLAY=$display
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

start=$(date +%s%N)
output=$(QT_QPA_PLATFORM=xcb "$program" "$data" "$spins")
echo "$output" | grep -v realtime_ns
frame=$(echo "$output" | awk '/first_frame_realtime_ns/ {print $2}')
decoded=$(echo "$output" | awk '/decoded_realtime_ns/ {print $2}')
echo "first frame after $(( (frame - start) / 1000000 )) ms from process start"
echo "every picture decoded after $(( (decoded - start) / 1000000 )) ms from process start"
