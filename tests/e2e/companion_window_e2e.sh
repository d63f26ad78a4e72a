#!/usr/bin/env bash
# The companion window on a real X server with a real window manager.
source "$(dirname "$0")/e2e_lib.sh"
e2e_setup
e2e_start_plumo

# The window manager sets her state as it takes her window; she asks again once shown.
state_settled() {
    state=$(xprop -id "$WID" _NET_WM_STATE)
    grep -q _NET_WM_STATE_ABOVE <<<"$state" && grep -q _NET_WM_STATE_SKIP_TASKBAR <<<"$state"
}
e2e_wait_for 5 state_settled || true
e2e_check "one window of 168 x 93" test "$(e2e_companion_windows | wc -l)" -eq 1
e2e_check "stays on top" grep -q _NET_WM_STATE_ABOVE <<<"$state"
e2e_check "no taskbar button" grep -q _NET_WM_STATE_SKIP_TASKBAR <<<"$state"

e2e_window_position
e2e_save_screenshot companion.png
below_bubble=$(e2e_pixel $((X + 1)) $((Y + 92)))
girl=$(e2e_pixel $((X + 135)) $((Y + 60)))
e2e_check "key colour is see-through ($below_bubble)" test "$below_bubble" = "$ROOT_PIXEL"
e2e_check "the girl is drawn ($girl)" test "$girl" != "$ROOT_PIXEL" -a "$girl" != "srgb(192,220,192)"

x0=$X y0=$Y
e2e_drag 135 60 60 40 moves
e2e_window_position
e2e_check "dragging the girl moves the window ($x0,$y0 -> $X,$Y)" test "$X,$Y" != "$x0,$y0"

x1=$X y1=$Y
e2e_drag 50 40 -60 -40 stays
e2e_window_position
e2e_check "dragging the bubble does not ($x1,$y1 -> $X,$Y)" test "$X,$Y" = "$x1,$y1"

# A second copy ends at once and shows nothing; what it might have shown went with it.
timeout 20 "$E2E_DIR/plumo/plumo" >"$E2E_DIR/second.log" 2>&1 && second=$? || second=$?
e2e_check "second copy exits at once (status $second)" test "$second" -eq 0
e2e_check "still exactly one window" test "$(e2e_companion_windows | wc -l)" -eq 1
e2e_check "the first copy runs on" kill -0 "$PLUMO_PID"
e2e_finish
