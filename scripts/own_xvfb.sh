# Starts an X server of our own for wine, sourced by the scripts that run
# Windows programs. start_own_xvfb sets xvfb (its pid) and exports DISPLAY;
# the caller stops it. Call it before the first wine command: wine's desktop
# process binds to the display it starts with. -noreset keeps the server up
# between clients. PRIZEDRAW_XVFB_SCREEN sets its size (default 1280x1024).
start_own_xvfb() {
    # The first free display; another script may take one between the check and
    # the start, so a server that dies at once moves on to the next.
    xvfb=
    local display
    for display in $(seq 90 139); do
        [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ] && continue
        Xvfb ":$display" -screen 0 "${PRIZEDRAW_XVFB_SCREEN:-1280x1024}x24" -noreset -nolisten tcp >/dev/null 2>&1 &
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
    [ -n "$xvfb" ] || { echo "no X server could start on displays :90 to :139" >&2; return 1; }
    export DISPLAY=":$display"
}
