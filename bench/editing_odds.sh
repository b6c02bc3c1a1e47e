#!/usr/bin/env bash
# The editing core's timings on Linux (Qt's decoder) and under wine (the
# imaging component), side by side in one run: from opening a list to its
# odds and to every picture judged, and from an edit of a weight to its odds.
# Lists: 1000 prizes without pictures, with a 1024x768 photo each, and with a
# 12-megapixel photo each (bench/make_lists.sh). Medians of EDITS edits.
# Usage: bench/editing_odds.sh [EDITS]   (default 100)
set -euo pipefail
cd "$(dirname "$0")/.."
edits=${1:-100}
build=${PRIZEDRAW_BENCH_BUILD:-build}
source scripts/deps.sh
install_missing "${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${WINDOWS_BUILD_PACKAGES[@]}" \
    "${WINDOWS_TEST_PACKAGES[@]}"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON -DPRIZEDRAW_TOOLS=ON \
    -DPRIZEDRAW_WERROR=ON >/dev/null
cmake --build "$build" -j "$(nproc)" --target editing_odds >&2
[ -f build-windows/build.ninja ] || scripts/build-windows.sh >&2
cmake --build build-windows -j "$(nproc)" --target editing_odds >&2

cache=${PRIZEDRAW_BENCH_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/prizedraw-bench}
bench/make_lists.sh "$cache"
tmp=$(mktemp -d)
mkdir -p "$tmp/thousand"
awk 'BEGIN { for (i = 0; i < 1000; i++) printf "%.4f\r\n255\r\nprize %d\r\n1\r\n\r\n", 0.05 + i / 10000, i }' \
    >"$tmp/thousand/data.ini"

source scripts/wine_session.sh
start_wine_session
trap 'rm -rf "$tmp"; stop_wine_session' EXIT
export QT_QPA_PLATFORM=offscreen

printf '%-26s %14s %14s %14s %16s\n' "list, platform" "odds median" "odds p95" "open: odds" "open: pictures"
for list in "$tmp/thousand" "$cache/list-1024x768" "$cache/list-12mp"; do
    for platform in linux wine; do
        if [ $platform = linux ]; then
            out=$("$build/bench/editing_odds" "$list/data.ini" "$edits" 2>/dev/null)
        else
            out=$(wine build-windows/bench/editing_odds.exe "$(winepath -w "$list/data.ini")" "$edits" 2>/dev/null)
        fi
        echo "$out" | awk -v label="$(basename "$list"), $platform" '{
            printf "%-26s %11.2f ms %11.2f ms %11.1f ms %13.1f ms\n", label, $12, $14, $16, $18 }'
    done
done
