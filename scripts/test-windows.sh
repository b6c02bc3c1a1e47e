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

export WINEPREFIX=$PWD/build-windows/wineprefix
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=" # no .NET or Gecko installer prompts

cleanup() {
    wineserver -k 2>/dev/null || true
    [ -z "${xvfb:-}" ] || { kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; } || true
}
trap cleanup EXIT
source scripts/own_xvfb.sh
start_own_xvfb

started=$(date +%s)
# One server for every test process (about 0.1 s a start instead of 3 s),
# started before anything else runs in the prefix; a server left over from an
# interrupted run of this script goes first.
wineserver -k 2>/dev/null || true
mkdir -p "$WINEPREFIX"
wineserver -p
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "== a wine prefix in $WINEPREFIX"
    timeout 300 wineboot -i >/dev/null 2>&1
fi
# Wine's services started now, detached: a test that started them would
# inherit their output and wait for its time-out.
timeout 120 wine cmd /c exit </dev/null >/dev/null 2>&1
echo "== wine ready in $(($(date +%s) - started)) s"

# Every test is time-limited, GUI ones included.
ctest --test-dir build-windows --output-on-failure -j "$(nproc)" --timeout 120 "$@"
