#!/usr/bin/env bash
# Edit-to-odds and open-to-odds times of the list editor for the bundled list
# (8 prizes), 1000 prizes of distinct weights, and the same with a 1024x768
# photo each, offscreen. bench/run.sh runs it too.
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
mkdir -p "$tmp/bundled" "$tmp/thousand" "$tmp/pictures/picture"
cp -r sample/data.ini sample/picture "$tmp/bundled/"
# Weights 0.05 + i / 10000: all distinct, adding up to 99.95.
awk 'BEGIN { for (i = 0; i < 1000; i++) printf "%.4f\r\n255\r\nprize %d\r\n1\r\n\r\n", 0.05 + i / 10000, i }' \
    >"$tmp/thousand/data.ini"
# The same list with a picture for every prize: the benchmark's 1024x768
# photos in turn, hard links where the cache shares the file system.
cache=${PRIZEDRAW_BENCH_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/prizedraw-bench}
bench/make_lists.sh "$cache"
cp "$tmp/thousand/data.ini" "$tmp/pictures/"
photos=("$cache"/sources/vga*.jpg)
for i in $(seq 0 999); do
    photo=${photos[$((i % ${#photos[@]}))]}
    ln "$photo" "$tmp/pictures/picture/prize $i.jpg" 2>/dev/null || cp "$photo" "$tmp/pictures/picture/prize $i.jpg"
done

export QT_QPA_PLATFORM=offscreen
echo "Editor, time from an edit to its odds in the table, $edits edits (the edit alone is what typing waits for):"
echo "and from opening the list to its odds in the table and to every picture judged:"
printf '%-22s %14s %14s %14s %14s %14s %14s\n' list "edit median" "edit p95" "odds median" "odds p95" "open: odds" \
    "open: pictures"
declare -A labels=([bundled]="bundled, 8 prizes" [thousand]="1000 prizes" [pictures]="1000 with pictures")
for list in bundled thousand pictures; do
    out=$("$build/bench/editor_odds" "$tmp/$list/data.ini" "$edits" 2>/dev/null)
    echo "$out" >"$tmp/$list.out"
    echo "$out" | awk -v label="${labels[$list]}" '{
        printf "%-22s %11.2f ms %11.2f ms %11.2f ms %11.2f ms %11.1f ms %11.1f ms\n", label, $7, $9, $12, $14, $16, $18 }'
done
# What bench/run.sh sets against its goal.
awk '{ print "editor_open_odds_ms", $16 }' "$tmp/pictures.out" >"${PRIZEDRAW_EDITOR_ODDS_OUT:-/dev/null}"
