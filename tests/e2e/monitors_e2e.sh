#!/usr/bin/env bash
# Two monitors. Weston's X11 back end shows two 1000 x 700 outputs side by side on a virtual
# display, and its XWayland gives her an X display with two screens: she starts wholly on
# the first and takes input there. Weston's desktop shell places X11 windows itself: it
# neither keeps the position she asks for nor moves her on a request, so where she goes
# when dragged or when a screen goes is checked on two offscreen screens instead
# (tests/companion/screen_follower_test.cpp). The pointer acts on the outer display, so
# that weston itself sees it, as it sees a real pointer.
source "$(dirname "$0")/e2e_lib.sh"
E2E_DISPLAY_SIZE=2000x700x24
e2e_setup bare
OUTER=$DISPLAY

monitors_teardown() {
    if [ -n "${WESTON_PID:-}" ]; then
        kill "$WESTON_PID" 2>/dev/null
        wait "$WESTON_PID" 2>/dev/null
    fi
    e2e_teardown
}
trap monitors_teardown EXIT

export XDG_RUNTIME_DIR=$E2E_DIR/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
weston --backend=x11-backend.so --output-count=2 --width=1000 --height=700 --xwayland \
    --socket=plumo-monitors >"$E2E_DIR/weston.log" 2>&1 &
WESTON_PID=$!
xwayland_display() { sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$E2E_DIR/weston.log"; }
xwayland_listening() { test -n "$(xwayland_display)"; }
weston_fatal() {
    sed 's/^/  weston: /' "$E2E_DIR/weston.log"
    e2e_fatal "$@"
}
e2e_wait_for 20 xwayland_listening || weston_fatal "weston's XWayland did not start within 20 seconds"

# Weston's outputs are windows of the outer display: the first at its left, the second at
# its right, so that a point of the outer display is the same point of her desktop.
outer() { DISPLAY=$OUTER xdotool "$@"; }
# "id screenN" for each output window, named "Weston Compositor - screenN".
output_windows() {
    DISPLAY=$OUTER xwininfo -root -children 2>/dev/null |
        sed -n 's/^ *\(0x[0-9a-f]*\) "Weston Compositor - \(screen[0-9]*\)".*/\1 \2/p'
}
two_outputs() { test "$(output_windows | wc -l)" -eq 2; }
e2e_wait_for 20 two_outputs || weston_fatal "weston did not show two outputs"
while read -r id name; do
    if [ "$name" = screen1 ]; then outer windowmove "$id" 1000 0; else outer windowmove "$id" 0 0; fi
done < <(output_windows)

export DISPLAY
DISPLAY=$(xwayland_display)
unset WAYLAND_DISPLAY
e2e_start_plumo

on_first() { [ "$X" -ge 0 ] && [ "$Y" -ge 0 ] && [ $((X + 168)) -le 1000 ] && [ $((Y + 93)) -le 700 ]; }
two_screens() { test "$(xrandr --listmonitors | sed -n 's/^Monitors: //p')" = 2; }
e2e_check "her display has two screens" two_screens
e2e_window_position
e2e_check "she starts wholly on the first screen ($X,$Y)" on_first

outer_pointer_at() { [[ "$(outer getmouselocation)" == "x:$1 y:$2 "* ]]; }
outer_move() {
    outer mousemove "$1" "$2"
    e2e_wait_for 10 outer_pointer_at "$1" "$2" || e2e_fatal "the pointer did not reach ($1,$2)"
}
# A middle click on the girl, which does nothing, reaches her through weston.
outer_move $((X + 135)) $((Y + 60))
taken=$(e2e_user_time)
outer click 2
e2e_check "she takes a click through weston" e2e_wait_for 10 e2e_user_time_changed "$taken"
started="$X,$Y"
e2e_window_position
e2e_check "and stays where she started ($X,$Y)" test "$X,$Y" = "$started"
DISPLAY=$OUTER e2e_save_screenshot monitors.png
e2e_finish
