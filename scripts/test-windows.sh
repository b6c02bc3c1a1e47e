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

# A display of our own, before the first wine command: wine's desktop process
# binds to the display it starts with. -noreset keeps the server up between clients.
cleanup() {
    wineserver -k 2>/dev/null || true
    [ -z "${xvfb:-}" ] || { kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; } || true
}
trap cleanup EXIT
# The first free display; another script may take one between the check and
# the start, so a server that dies at once moves on to the next.
xvfb=
for display in $(seq 90 139); do
    [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ] && continue
    Xvfb ":$display" -screen 0 1280x1024x24 -noreset -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    for _ in $(seq 100); do
        [ -e "/tmp/.X11-unix/X$display" ] && break
        kill -0 "$xvfb" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$xvfb" 2>/dev/null && [ -e "/tmp/.X11-unix/X$display" ] && break
    kill "$xvfb" 2>/dev/null || true
    xvfb=
done
[ -n "$xvfb" ] || { echo "no X server could start on displays :90 to :139" >&2; exit 1; }
export DISPLAY=":$display"

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
