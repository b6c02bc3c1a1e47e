#!/usr/bin/env bash
# Edit-to-odds time of the list editor for the bundled list (8 prizes) and
# for 1000 prizes of distinct weights, offscreen. bench/run.sh runs it too.
# Usage: bench/editor_odds.sh [EDITS]   (default 200)
set -euo pipefail
cd "$(dirname "$0")/.."
edits=${1:-200}
build=${PRIZEDRAW_BENCH_BUILD:-build}
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON -DPRIZEDRAW_TOOLS=ON \
        -DPRIZEDRAW_WERROR=ON >/dev/null
fi
cmake --build "$build" -j "$(nproc)" --target editor_odds >&2

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp/bundled" "$tmp/thousand"
cp -r sample/data.ini sample/picture "$tmp/bundled/"
# Weights 0.05 + i / 10000: all distinct, adding up to 99.95.
awk 'BEGIN { for (i = 0; i < 1000; i++) printf "%.4f\r\n255\r\nprize %d\r\n1\r\n\r\n", 0.05 + i / 10000, i }' \
    >"$tmp/thousand/data.ini"

export QT_QPA_PLATFORM=offscreen
echo "Editor, time from an edit to its odds in the table, $edits edits (the edit alone is what typing waits for):"
printf '%-18s %14s %14s %14s %14s\n' list "edit median" "edit p95" "odds median" "odds p95"
for list in bundled thousand; do
    out=$("$build/bench/editor_odds" "$tmp/$list/data.ini" "$edits" 2>/dev/null)
    label="bundled, 8 prizes"
    [ "$list" = thousand ] && label="1000 prizes"
    echo "$out" | awk -v label="$label" '{ printf "%-18s %11.2f ms %11.2f ms %11.2f ms %11.2f ms\n", label, $7, $9, $12, $14 }'
done
