# A virtual X display with the icewm window manager (which has a system tray).
# shellcheck shell=bash

# Starts Xvfb on a free display and icewm on it; exports DISPLAY; stops both at exit.
# With "bare" as second argument no window manager (and so no tray) runs.
plumo_start_virtual_display() {
    local size=${1:-1024x768x24} mode=${2:-} fifo display
    trap plumo_stop_virtual_display EXIT
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 "$size" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    PLUMO_XVFB_PID=$!
    read -r display <"$fifo"
    rm -f "$fifo"
    export DISPLAY=":$display"
    if [ "$mode" = bare ]; then
        xsetroot -solid "${PLUMO_ROOT_COLOUR:-#2f5d8a}"
        return 0
    fi
    icewm >/dev/null 2>&1 &
    PLUMO_WM_PID=$!
    # Wait until the window manager has announced itself.
    local i
    for i in $(seq 1 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
        sleep 0.1
    done
    # and until its tray is up (icewm's tray proxy window), which her start-up looks for.
    for i in $(seq 1 100); do
        xwininfo -root -children 2>/dev/null | grep -q YXTrayProxy && break
        sleep 0.1
    done
    xsetroot -solid "${PLUMO_ROOT_COLOUR:-#2f5d8a}"
}

# Runs from an EXIT trap, also under set -e: every step runs whatever the one before did.
plumo_stop_virtual_display() {
    if [ -n "${PLUMO_WM_PID:-}" ]; then kill "$PLUMO_WM_PID" 2>/dev/null || true; fi
    if [ -n "${PLUMO_XVFB_PID:-}" ]; then kill "$PLUMO_XVFB_PID" 2>/dev/null || true; fi
    wait 2>/dev/null || true
    PLUMO_WM_PID="" PLUMO_XVFB_PID=""
}
