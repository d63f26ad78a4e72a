#!/usr/bin/env bash
# The calendar window on a real X server with icewm: the command panel's "万年历" shows it
# at the bottom-right corner above the taskbar with today selected; a second click hides it.
source "$(dirname "$0")/e2e_lib.sh"
e2e_setup
e2e_start_plumo

calendar_windows() { e2e_windows_sized 313 253; }
calendar_shown() { test -n "$(calendar_windows)"; }
calendar_hidden() { test -z "$(calendar_windows)"; }

e2e_check "the calendar is hidden at start-up" calendar_hidden

# A click on the bubble opens the command panel, whose settings button covers the empty
# corner of the text; "万年历" is its second button.
e2e_window_position
bx=$X by=$Y
corner=$(e2e_pixel $((bx + 70)) $((by + 78)))
e2e_click_at $((bx + 70)) $((by + 78))
panel_shown() { test "$(e2e_pixel $((bx + 70)) $((by + 78)))" != "$corner"; }
e2e_wait_for 10 panel_shown || e2e_fatal "a click on the bubble did not open the command panel"
e2e_click_at $((bx + 40)) $((by + 35))
e2e_check "万年历 shows the calendar" e2e_wait_for 10 calendar_shown
read -r cal cx cy <<<"$(calendar_windows | head -n 1)"
[ -n "${cal:-}" ] || e2e_fatal "no calendar window"
# Drawn: its middle, over the bare desktop until then, shows the calendar.
calendar_drawn() { test "$(e2e_pixel $((cx + 156)) $((cy + 126)))" != "$ROOT_PIXEL"; }
e2e_wait_for 10 calendar_drawn || e2e_fatal "the calendar window was not drawn"
e2e_save_screenshot calendar.png

# Bottom-right: 2 pixels from the right edge, lifted by the taskbar when it is at the
# bottom (or at the right).
read -r sw sh < <(xdotool getdisplaygeometry)
read -r _ _ ww wh _ < <(xprop -root _NET_WORKAREA | sed 's/.*= //; s/,//g')
taskbar=$((sh - wh))
[ "$wh" = "$sh" ] && taskbar=$((sw - ww))
e2e_check "at the bottom-right ($cx,$cy; screen ${sw}x$sh, work area ${ww}x$wh)" \
    test "$cx,$cy" = "$((sw - 313 - 2)),$((sh - 253 - taskbar))"

# Once shown she asks the window manager again to keep it off the taskbar.
taskbar_state_set() {
    state=$(xprop -id "$cal" _NET_WM_STATE)
    grep -q _NET_WM_STATE_SKIP_TASKBAR <<<"$state"
}
e2e_wait_for 5 taskbar_state_set || true
not_on_top() { ! grep -q _NET_WM_STATE_ABOVE <<<"$state"; }
e2e_check "not kept on top" not_on_top
e2e_check "no taskbar button" grep -q _NET_WM_STATE_SKIP_TASKBAR <<<"$state"

# Today's cell carries the selection: its frame and the top row of its gradient.
first=$(($(date -d "$(date +%Y-%m-01)" +%w) + 1))
cell=$((first + 10#$(date +%d) - 1))
col=$(((cell - 1) % 7 + 1)) row=$(((cell - 1) / 7 + 1))
px=$((cx + 8 + 18 + (col - 1) * 40)) py=$((cy + 40 + 18 + (row - 1) * 28))
frame=$(e2e_pixel "$px" $((py + 10)))
inside=$(e2e_pixel $((px + 1)) $((py + 1)))
e2e_check "today (column $col, row $row) has the selection frame ($frame)" \
    test "$frame" = "srgb(0,147,70)"
e2e_check "and its gradient ($inside)" test "$inside" = "srgb(0,176,84)"

# The same button, now "关闭万年历", hides it.
e2e_window_position
e2e_click_at $((X + 40)) $((Y + 35))
e2e_check "a second click hides the calendar" e2e_wait_for 10 calendar_hidden
e2e_finish
