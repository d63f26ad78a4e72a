# A virtual X display with the icewm window manager (which has a system tray).
# shellcheck shell=bash

# Starts Xvfb on a free display and icewm on it; exports DISPLAY; stops both at exit.
plumo_start_virtual_display() {
    local size=${1:-1024x768x24} fifo display
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 "$size" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    PLUMO_XVFB_PID=$!
    read -r display <"$fifo"
    rm -f "$fifo"
    export DISPLAY=":$display"
    icewm >/dev/null 2>&1 &
    PLUMO_WM_PID=$!
    trap plumo_stop_virtual_display EXIT
    # Wait until the window manager has announced itself.
    local i
    for i in $(seq 1 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
        sleep 0.1
    done
    sleep 0.5  # let its tray come up
    xsetroot -solid "${PLUMO_ROOT_COLOUR:-#2f5d8a}"
}

plumo_stop_virtual_display() {
    [ -n "${PLUMO_WM_PID:-}" ] && kill "$PLUMO_WM_PID" 2>/dev/null
    [ -n "${PLUMO_XVFB_PID:-}" ] && kill "$PLUMO_XVFB_PID" 2>/dev/null
    wait 2>/dev/null || true
}
