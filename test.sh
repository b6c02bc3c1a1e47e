#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once in a normal
# build, once under AddressSanitizer and UndefinedBehaviorSanitizer, and the
# Windows build's under wine.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
install_missing "${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}"

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

echo "== build and test"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON -DPRIZEDRAW_TOOLS=ON -DPRIZEDRAW_WERROR=ON >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

echo "== build and test under sanitizers"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBUILD_TESTING=ON -DPRIZEDRAW_TOOLS=ON -DPRIZEDRAW_SANITIZE=ON -DPRIZEDRAW_WERROR=ON >/dev/null
cmake --build build-asan -j "$jobs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
ctest --test-dir build-asan --output-on-failure -j "$jobs"

echo "== Windows build, tested under wine"
scripts/test-windows.sh

echo "== fuzz targets, a few seconds each"
fuzz/run.sh 5
