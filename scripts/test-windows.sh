#!/usr/bin/env bash
# Builds the Windows programs (scripts/build-windows.sh) and runs the Windows
# test suites with ctest under wine: a wine prefix inside build-windows/, its
# own X server, both stopped at the end.
# Usage: scripts/test-windows.sh [ctest options]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
install_missing "${WINDOWS_BUILD_PACKAGES[@]}" "${WINDOWS_TEST_PACKAGES[@]}"
scripts/build-windows.sh

source scripts/wine_session.sh
start_wine_session

# Every test is time-limited, GUI ones included.
ctest --test-dir build-windows --output-on-failure -j "$(nproc)" --timeout 120 "$@"
