#!/usr/bin/env bash
# The Windows build's start-up and ticks beside the Qt build's, in one table:
#  - first frame of the game on the bundled list and of a minimal window of
#    each toolkit: the Qt programs on an X display, the Windows ones under
#    wine on the same display. All four are timed the same way: from process
#    start until xdotool sees the program's window mapped (polled without
#    pause), so wine's own start-up counts, as a user would see it;
#  - the tick intervals of a whole spin under wine, as the Windows front end's
#    test of a whole spin prints them.
# Medians of RUNS runs each, taken in turn.
# Usage: bench/windows.sh [RUNS]     (default 5)
# Builds the Qt programs in $PRIZEDRAW_BENCH_BUILD (default build/) and the
# Windows ones in build-windows/ (scripts/build-windows.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
source scripts/deps.sh
install_missing "${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${WINDOWS_BUILD_PACKAGES[@]}" \
    "${WINDOWS_TEST_PACKAGES[@]}"

build=${PRIZEDRAW_BENCH_BUILD:-build}
echo "== building in $build and build-windows" >&2
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON -DPRIZEDRAW_TOOLS=ON \
    -DPRIZEDRAW_WERROR=ON >/dev/null
cmake --build "$build" -j "$(nproc)" --target prizedraw minimal_window >&2
[ -f build-windows/build.ninja ] || scripts/build-windows.sh >&2
cmake --build build-windows -j "$(nproc)" --target prizedraw minimal_window_win32 win32_tests >&2

source scripts/wine_session.sh
start_wine_session
export QT_QPA_PLATFORM=xcb

median() { sort -g | awk '{ v[NR] = $1 } END { if (NR == 0) print "-"; else if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
calc() { awk "BEGIN { print $* }"; }

# Milliseconds from starting the command until a visible window whose title
# matches the pattern exists; the program is then closed. Nothing on time-out.
mapped_ms() { # title_pattern command...
    local title=$1 t0 t1 pid
    shift
    t0=$(date +%s%N)
    "$@" </dev/null >/dev/null 2>&1 &
    pid=$!
    until xdotool search --onlyvisible --name "$title" >/dev/null 2>&1; do
        if ! kill -0 "$pid" 2>/dev/null || (($(date +%s%N) - t0 > 60000000000)); then
            kill "$pid" 2>/dev/null || true
            wait "$pid" 2>/dev/null || true
            return
        fi
    done
    t1=$(date +%s%N)
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    # The next program must not find this one's window still mapped.
    while xdotool search --onlyvisible --name "$title" >/dev/null 2>&1; do sleep 0.05; done
    echo $(((t1 - t0) / 1000000))
}

tmp=$(mktemp -d)
trap 'stop_wine_session; rm -rf "$tmp"' EXIT
game_title='Powered by'
minimal_title='^开奖$'
echo "== first frames, $runs runs" >&2
for _ in $(seq "$runs"); do
    mapped_ms "$game_title" "$build/prizedraw" >>"$tmp/qt.game"
    mapped_ms "$minimal_title" "$build/bench/minimal_window" --stay >>"$tmp/qt.minimal"
    mapped_ms "$game_title" wine build-windows/prizedraw.exe >>"$tmp/win.game"
    mapped_ms "$minimal_title" wine build-windows/bench/minimal_window_win32.exe >>"$tmp/win.minimal"
done

echo "== a whole spin under wine" >&2
spin=$(timeout 300 wine build-windows/tests/win32/win32_tests.exe \
    --gtest_filter='Win32Form.AWholeSpinLastsAsManyTicksAsTheHeadlessReel' 2>/dev/null | tr -d '\r' |
    grep 'tick intervals:' || true)

echo
echo "Machine: $(nproc) cores, wine $(wine --version 2>/dev/null | sed 's/^wine-//'), load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo
echo "First frame: process start to the window mapped (xdotool), medians of $runs runs:"
qt_game=$(median <"$tmp/qt.game")
qt_minimal=$(median <"$tmp/qt.minimal")
win_game=$(median <"$tmp/win.game")
win_minimal=$(median <"$tmp/win.minimal")
printf '%-26s %10s %14s %7s\n' build game "minimal window" ratio
printf '%-26s %7s ms %11s ms %6.2fx\n' "Qt (X11)" "$qt_game" "$qt_minimal" "$(calc "$qt_game / $qt_minimal")"
printf '%-26s %7s ms %11s ms %6.2fx\n' "Windows API (wine)" "$win_game" "$win_minimal" \
    "$(calc "$win_game / $win_minimal")"
printf '%-26s %9.2fx %13.2fx\n' "wine / Qt" "$(calc "$win_game / $qt_game")" "$(calc "$win_minimal / $qt_minimal")"
echo
echo "A whole spin under wine (5 ms timer), the Windows front end's spin test:"
echo "  ${spin:-no tick statistics: the spin test failed or did not run}"
