#!/usr/bin/env bash
# Every benchmark in one command, printed as one table. Builds what it needs
# in build/, draws the benchmark pictures once into a cache folder outside the
# repository, and runs under a virtual X display at device pixel ratio 1:
#  - start-up of the game with the bundled list and with 1000 prizes of
#    1024x768 and of 12-megapixel pictures: time from process start to the
#    first shown frame and to the last picture decoded, and peak memory;
#    beside them, measured in the same run, a minimal Qt window's first frame
#    and the time to decode the same pictures at the card's size on all cores
#    with nothing else;
#  - the draw and the tick with Google Benchmark;
#  - whole spins: tick interval, CPU time, ticks that allocated;
#  - a spin started at the first frame of the 12-megapixel list, while its
#    pictures still decode, beside the same spin (same random numbers) once
#    they are all decoded, in the same process.
# Timings are medians of several runs, taken in turn with their floors.
# Usage: bench/run.sh [RUNS]     (default 5; the 12-megapixel list runs 3 times
#                                 fewer, at least once; it takes about 15 s a run
#                                 on two cores)
# The pictures go to $PRIZEDRAW_BENCH_CACHE, by default ~/.cache/prizedraw-bench;
# the build to $PRIZEDRAW_BENCH_BUILD, by default build/.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
big_runs=$(( runs > 3 ? runs - 2 : 1 ))
source scripts/deps.sh
install_missing "${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}"

build=${PRIZEDRAW_BENCH_BUILD:-build}
echo "== building in $build" >&2
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON -DPRIZEDRAW_TOOLS=ON \
    -DPRIZEDRAW_WERROR=ON >/dev/null
cmake --build "$build" -j "$(nproc)" --target prizedraw reel_bench window_timing minimal_window decode_floor >&2

cache=${PRIZEDRAW_BENCH_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/prizedraw-bench}
bench/make_lists.sh "$cache"

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 640x480x24 -nolisten tcp 2>/dev/null &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
export DISPLAY=$display QT_QPA_PLATFORM=xcb
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

median() { sort -g | awk '{ v[NR] = $1 } END { if (NR == 0) print "-"; else if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
field() { awk -v key="$1" -v n="${2:-2}" '$1 == key { print $n }'; }
calc() { awk "BEGIN { print $* }"; }
ms_since() { echo $(( ($2 - $1) / 1000000 )); } # start_ns end_ns

tmp=$(mktemp -d)
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$tmp"' EXIT

# One start-up of the game and one of each floor, in turn; appends to files in $tmp.
startup_round() { # name data_folder spins
    local name=$1 data=$2 out t0
    t0=$(date +%s%N)
    out=$(timeout 300 "$build/bench/window_timing" "$data" "$3" 2>/dev/null)
    ms_since "$t0" "$(echo "$out" | field first_frame_realtime_ns)" >>"$tmp/$name.frame"
    ms_since "$t0" "$(echo "$out" | field decoded_realtime_ns)" >>"$tmp/$name.decoded"
    echo "$out" | field peak_rss_kb >>"$tmp/$name.rss"
    echo "$out" >"$tmp/$name.last"

    t0=$(date +%s%N)
    out=$(timeout 60 "$build/bench/minimal_window" 2>/dev/null)
    ms_since "$t0" "$(echo "$out" | field first_frame_realtime_ns)" >>"$tmp/$name.minimal"

    timeout 300 "$build/bench/decode_floor" "$data/picture" 2>/dev/null | field decode_floor_ms >>"$tmp/$name.floor"
}

declare -A lists=([bundled]="$build" [vga]="$cache/list-1024x768" [photo]="$cache/list-12mp")
declare -A labels=([bundled]="bundled, 8 prizes" [vga]="1000 x 1024x768" [photo]="1000 x 12 MP")
for name in bundled vga photo; do
    n=$runs
    [ "$name" = photo ] && n=$big_runs
    echo "== start-up: ${labels[$name]}, $n runs" >&2
    for _ in $(seq "$n"); do startup_round "$name" "${lists[$name]}" 0; done
done

echo "== spins" >&2
spin_bundled=$(timeout 300 "$build/bench/window_timing" "$build" 3 2>/dev/null)
spin_vga=$(timeout 300 "$build/bench/window_timing" "$cache/list-1024x768" 3 2>/dev/null)

echo "== early spin: ${labels[photo]}, $big_runs runs" >&2
for _ in $(seq "$big_runs"); do
    t0=$(date +%s%N)
    out=$(timeout 300 "$build/bench/window_timing" "$cache/list-12mp" early 2>/dev/null)
    ms_since "$t0" "$(echo "$out" | field decoded_realtime_ns)" >>"$tmp/early.decoded"
    for key in median p95 max wall; do
        echo "$out" | awk -v key="$key" '$1 == "early_spin" { for (i = 2; i < NF; i += 2) if ($i == key) print $(i + 1) }' \
            >>"$tmp/early.$key"
        echo "$out" | awk -v key="$key" '$1 == "quiet_spin" { for (i = 2; i < NF; i += 2) if ($i == key) print $(i + 1) }' \
            >>"$tmp/quiet.$key"
    done
    calc "$(tail -n1 "$tmp/early.wall") / $(tail -n1 "$tmp/quiet.wall")" >>"$tmp/early.ratio"
done

echo "== Google Benchmark" >&2
gbench=$("$build/bench/reel_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    --benchmark_format=csv 2>/dev/null)

echo
echo "Machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), $(nproc) cores," \
    "$(. /etc/os-release && echo "$PRETTY_NAME"), Qt $(pkg-config --modversion Qt6Core 2>/dev/null || echo '?')," \
    "load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo
echo "Start-up under Xvfb, medians (runs: $runs, 12 MP: $big_runs). Times from process start;"
echo "the decode floor times decoding alone, on $(nproc) threads."
printf '%-18s %12s %12s %6s   %12s %12s %12s   %9s\n' list "first frame" "min. window" ratio "all decoded" \
    "decode floor" ratio "peak RSS"
for name in bundled vga photo; do
    frame=$(median <"$tmp/$name.frame")
    minimal=$(median <"$tmp/$name.minimal")
    decoded=$(median <"$tmp/$name.decoded")
    floor=$(median <"$tmp/$name.floor")
    rss=$(median <"$tmp/$name.rss")
    # A list decoded before its first frame is all start-up; its ratio says nothing.
    ratio=$(calc "$decoded / $floor" | awk '{ printf "%11.2fx", $1 }')
    [ "$(calc "($decoded <= $frame)")" = 1 ] && ratio="before frame"
    printf '%-18s %9s ms %9s ms %5.2fx   %9s ms %9.0f ms %12s   %6.0f MB\n' "${labels[$name]}" "$frame" \
        "$minimal" "$(calc "$frame / $minimal")" "$decoded" "$floor" "$ratio" "$(calc "$rss / 1024")"
done

echo
echo "Goals: the game's first frame set against the minimal window's, medians of the same runs:"
start_goal() { # label name most
    local frame minimal ratio
    frame=$(median <"$tmp/$2.frame")
    minimal=$(median <"$tmp/$2.minimal")
    ratio=$(calc "$frame / $minimal")
    printf '  %-30s %6s ms vs %6s ms = %5.2fx   goal at most %sx: %s\n' "$1" "$frame" "$minimal" "$ratio" "$3" \
        "$([ "$(calc "($ratio <= $3)")" = 1 ] && echo met || echo MISSED)"
}
start_goal "first frame, ${labels[photo]}" photo 1.5
start_goal "first frame, ${labels[bundled]}" bundled 1.3

echo
echo "Whole spins under Xvfb, started once every picture is decoded:"
printf '%-18s %6s %9s %9s %9s %10s %10s %7s %18s\n' list spins ticks median p95 "CPU/spin" "wall/spin" "of core" \
    "ticks allocating"
spin_row() { # label output
    local out=$2
    local ticks median p95 cpu wall allocating
    ticks=$(echo "$out" | field tick_intervals)
    median=$(echo "$out" | field tick_interval_ms 3)
    p95=$(echo "$out" | field tick_interval_ms 5)
    cpu=$(echo "$out" | field spin_ms 4)
    wall=$(echo "$out" | field spin_ms 6)
    allocating=$(echo "$out" | field tick_allocations 5)
    printf '%-18s %6s %9s %6s ms %6s ms %7s ms %7s ms %6.1f%% %18s\n' "$1" \
        "$(echo "$out" | field tick_intervals 4)" "$ticks" "$median" "$p95" "$cpu" "$wall" \
        "$(calc "100 * $cpu / $wall")" "${allocating:-n/a} of $ticks"
}
spin_row "${labels[bundled]}" "$spin_bundled"
spin_row "${labels[vga]}" "$spin_vga"

echo
echo "A spin started at the first frame, ${labels[photo]}, while the pictures decode, beside the same spin"
echo "once all are decoded (quiet_), same process; medians of $big_runs runs. decoded_ms counts from process"
echo "start, floor_ms is the decode floor above:"
early_floor=$(median <"$tmp/photo.floor")
early_decoded=$(median <"$tmp/early.decoded")
printf 'early-spin p95_ms=%s max_ms=%s wall_ratio=%.3f median_ms=%s quiet_median_ms=%s quiet_p95_ms=%s' \
    "$(median <"$tmp/early.p95")" "$(median <"$tmp/early.max")" "$(median <"$tmp/early.ratio")" \
    "$(median <"$tmp/early.median")" "$(median <"$tmp/quiet.median")" "$(median <"$tmp/quiet.p95")"
printf ' quiet_max_ms=%s wall_ms=%s quiet_wall_ms=%s decoded_ms=%s floor_ms=%.0f decoded_ratio=%.2f\n' \
    "$(median <"$tmp/quiet.max")" "$(median <"$tmp/early.wall")" "$(median <"$tmp/quiet.wall")" "$early_decoded" \
    "$early_floor" "$(calc "$early_decoded / $early_floor")"

echo
echo "Google Benchmark, CPU time per call, median of 5 repetitions:"
echo "$gbench" | awk -F, '$1 ~ /_median"?$/ {
    name = $1; gsub(/"/, "", name); sub(/_median$/, "", name)
    printf "  %-16s %10.1f %s\n", name, $4, $5 }' | sed 's/"//g'

echo
PRIZEDRAW_BENCH_BUILD=$build PRIZEDRAW_EDITOR_ODDS_OUT="$tmp/editor" bench/editor_odds.sh
open_odds=$(field editor_open_odds_ms <"$tmp/editor")
printf 'Goal: the editor shows the odds of 1000 prizes with pictures %s ms after opening; goal at most 300 ms: %s\n' \
    "$open_odds" "$([ "$(calc "($open_odds <= 300)")" = 1 ] && echo met || echo MISSED)"
