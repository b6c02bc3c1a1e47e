#!/usr/bin/env bash
# Whole spins in full screen at 1920x1080 and 3840x2160, side by side in one
# run with the same spins in the designed window, on both front ends: the Qt
# one on an X display and the Windows one under wine on the same display.
# Prints, per row, the tick interval's median and p95, the paint time of a
# frame (median and p95), the ticks of the shortest and longest spin, and the
# CPU share of one core. Medians of RUNS runs of SPINS spins each, taken in turn.
# Usage: bench/fullscreen.sh [RUNS] [SPINS]     (default 3 runs of 3 spins)
# Builds the Qt programs in $PRIZEDRAW_BENCH_BUILD (default build/) and the
# Windows ones in build-windows/ (scripts/build-windows.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-3}
spins=${2:-3}
source scripts/deps.sh
install_missing "${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${WINDOWS_BUILD_PACKAGES[@]}" \
    "${WINDOWS_TEST_PACKAGES[@]}"

build=${PRIZEDRAW_BENCH_BUILD:-build}
echo "== building in $build and build-windows" >&2
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON -DPRIZEDRAW_TOOLS=ON \
    -DPRIZEDRAW_WERROR=ON >/dev/null
cmake --build "$build" -j "$(nproc)" --target prizedraw screen_spin >&2
[ -f build-windows/build.ninja ] || scripts/build-windows.sh >&2
cmake --build build-windows -j "$(nproc)" --target prizedraw screen_spin_win32 >&2

source scripts/wine_session.sh
export QT_QPA_PLATFORM=xcb
median() { sort -g | awk '{ v[NR] = $1 } END { if (NR == 0) print "-"; else if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
tmp=$(mktemp -d)
trap 'stop_wine_session; rm -rf "$tmp"' EXIT

# One run: appends each figure to $tmp/<row>.<figure>.
record() { # row output
    local row=$1 out=$2
    echo "$out" | awk '$1 == "tick_ms" { print $3 }' >>"$tmp/$row.tick"
    echo "$out" | awk '$1 == "tick_ms" { print $5 }' >>"$tmp/$row.tick95"
    echo "$out" | awk '$1 == "paint_ms" { print $3 }' >>"$tmp/$row.paint"
    echo "$out" | awk '$1 == "paint_ms" { print $5 }' >>"$tmp/$row.paint95"
    echo "$out" | awk '$1 == "ticks_per_spin" { print $3 }' >>"$tmp/$row.min"
    echo "$out" | awk '$1 == "ticks_per_spin" { print $5 }' >>"$tmp/$row.max"
    echo "$out" | awk '$1 == "cpu_share" { print $2 }' >>"$tmp/$row.cpu"
}

rows=()
for screen in 1920x1080 3840x2160; do
    stop_wine_session
    PRIZEDRAW_XVFB_SCREEN=$screen start_wine_session
    trap 'stop_wine_session; rm -rf "$tmp"' EXIT
    echo "== $screen, $runs runs of $spins spins" >&2
    for _ in $(seq "$runs"); do
        for mode in window full; do
            record "qt-$screen-$mode" "$(timeout 300 "$build/bench/screen_spin" "$build" "$spins" $mode 2>/dev/null)"
            record "win-$screen-$mode" \
                "$(timeout 300 wine build-windows/bench/screen_spin_win32.exe build-windows "$spins" $mode 2>/dev/null | tr -d '\r')"
        done
    done
    rows+=("qt-$screen-window" "qt-$screen-full" "win-$screen-window" "win-$screen-full")
done

echo
echo "Machine: $(nproc) cores, wine $(wine --version 2>/dev/null | sed 's/^wine-//'), load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo "Whole spins of the bundled list, medians of $runs runs of $spins spins:"
printf '%-28s %9s %9s %10s %10s %13s %9s\n' "front end, screen, mode" "tick med" "tick p95" "paint med" "paint p95" \
    "ticks/spin" "CPU/core"
for row in "${rows[@]}"; do
    printf '%-28s %6s ms %6s ms %7s ms %7s ms %6s to %-4s %7s %%\n' "$row" "$(median <"$tmp/$row.tick")" \
        "$(median <"$tmp/$row.tick95")" "$(median <"$tmp/$row.paint")" "$(median <"$tmp/$row.paint95")" \
        "$(sort -g "$tmp/$row.min" | head -1)" "$(sort -g "$tmp/$row.max" | tail -1)" "$(median <"$tmp/$row.cpu")"
done
echo "Goals in full screen: tick median 5 +- 0.3 ms and p95 at most 6 ms, paint p95 under 4 ms at 1920x1080,"
echo "every spin 418 to 667 ticks."
