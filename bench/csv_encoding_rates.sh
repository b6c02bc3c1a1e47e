#!/usr/bin/env bash
# Builds and runs the CSV encoding guess's error count over GB2312.
# Usage: bench/csv_encoding_rates.sh [STRIDE]   (1, all pairs, takes a few minutes)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${PRIZEDRAW_BENCH_BUILD:-build}
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON -DPRIZEDRAW_TOOLS=ON >&2
cmake --build "$build" --target csv_encoding_rates >&2
"$build/bench/csv_encoding_rates" "$@"
