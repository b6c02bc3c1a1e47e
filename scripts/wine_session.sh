# Sourced by the scripts that run Windows programs under wine: a wine prefix
# inside build-windows/ and an X server of our own, both stopped when the
# sourcing script exits. Call start_wine_session once; it sets WINEPREFIX and
# DISPLAY.

source "$(dirname "${BASH_SOURCE[0]}")/own_xvfb.sh"

export WINEPREFIX=$PWD/build-windows/wineprefix
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=" # no .NET or Gecko installer prompts

stop_wine_session() {
    wineserver -k 2>/dev/null || true
    [ -z "${xvfb:-}" ] || { kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; } || true
}

start_wine_session() {
    # A display of our own, before the first wine command: wine's desktop process
    # binds to the display it starts with. -noreset keeps the server up between clients.
    trap stop_wine_session EXIT
    start_own_xvfb || exit 1

    local started
    started=$(date +%s)
    # One server for every process (about 0.1 s a start instead of 3 s),
    # started before anything else runs in the prefix; a server left over from
    # an interrupted run goes first.
    wineserver -k 2>/dev/null || true
    mkdir -p "$WINEPREFIX"
    wineserver -p
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "== a wine prefix in $WINEPREFIX" >&2
        timeout 300 wineboot -i >/dev/null 2>&1
    fi
    # Wine's services started now, detached: a program that started them would
    # inherit their output and wait for its time-out.
    timeout 120 wine cmd /c exit </dev/null >/dev/null 2>&1
    echo "== wine ready in $(($(date +%s) - started)) s" >&2
}
