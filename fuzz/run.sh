#!/usr/bin/env bash
# Builds every fuzz target with clang and libFuzzer and runs each for SECONDS
# (default 60) on its seed corpus; fails on the first crash or sanitizer report.
# Usage: fuzz/run.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=build-fuzz

CC=clang-14 CXX=clang++-14 cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPRIZEDRAW_FUZZ=ON -DBUILD_TESTING=OFF -DPRIZEDRAW_TOOLS=OFF >/dev/null
targets=$(sed -n 's/^foreach(target \(.*\))$/\1/p' fuzz/CMakeLists.txt)
extra=$(sed -n 's/^add_fuzz_target(\([a-z_]*\).*/\1/p' fuzz/CMakeLists.txt)
cmake --build "$build" -j "$(nproc)" --target $targets $extra

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
for target in $targets $extra; do
    name=${target#fuzz_}
    work="$build/corpus/$name"
    mkdir -p "$work" "$build/artifacts"
    echo "== $target for ${seconds}s"
    log="$build/$name.log"
    status=0
    "$build/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 -rss_limit_mb=3072 \
        -artifact_prefix="$build/artifacts/$name-" "$work" "fuzz/corpus/$name" >"$log" 2>&1 || status=$?
    grep -E '^#[0-9]+ +DONE|number_of_executed_units|peak_rss' "$log" || true
    if [ "$status" -ne 0 ]; then
        tail -n 40 "$log"
        echo "$target found a failure (exit $status); see $build/artifacts and $log"
        exit 1
    fi
done
