#!/usr/bin/env bash
# Starting her again: while she hides in the tray the second start shows her and ends; while
# she is shown it leaves her as she is. Her guard lies in her runtime folder. Her settings
# window carries its own title and no taskbar button, and nothing on her standard error
# speaks of a sound server.
source "$(dirname "$0")/e2e_lib.sh"
e2e_setup
e2e_start_plumo
e2e_wait_tray_icon
icon=$ICON

if [ -n "${XDG_RUNTIME_DIR:-}" ] && [ "$(stat -c '%u %a' "$XDG_RUNTIME_DIR")" = "$(id -u) 700" ]; then
    e2e_check "her guard lies in her runtime folder" test -S "$XDG_RUNTIME_DIR/PLUMO.EXE.socket"
fi

companion_hidden() { test -z "$(e2e_companion_windows)"; }
companion_shown() { test -n "$(e2e_companion_windows)"; }

# Starts her once more and waits for that copy to end; sets STATUS to its exit status.
start_again() {
    "$E2E_DIR/plumo/plumo" >>"$E2E_DIR/again.log" 2>&1 &
    AGAIN_PID=$!
    e2e_wait_for 20 again_ended || e2e_fatal "a second start did not end within 20 seconds"
    STATUS=0
    wait "$AGAIN_PID" || STATUS=$?
}
again_ended() { ! kill -0 "$AGAIN_PID" 2>/dev/null; }

e2e_click_window "$icon" 1
e2e_wait_for 10 companion_hidden || e2e_fatal "a click on the icon did not hide her"
start_again
e2e_check "the second start ends at once, with status 0" test "$STATUS" = 0
e2e_check "the second start shows her" e2e_wait_for 10 companion_shown
e2e_check "she is shown once" test "$(e2e_companion_windows | wc -l)" = 1
WID=$(e2e_companion_windows | head -n 1)
e2e_save_screenshot second-start.png

# Shown, she stays shown: no toggle. A round trip through her event loop after the copy
# ended lets her take its request first.
start_again
e2e_check "a start while she is shown ends too" test "$STATUS" = 0
e2e_round_trip
e2e_check "a start while she is shown leaves her shown" companion_shown
# Her own toggle knows she is shown: a click on the icon hides her.
e2e_click_window "$icon" 1
e2e_check "after being shown by a second start, a click on the icon hides her" \
    e2e_wait_for 10 companion_hidden
e2e_click_window "$icon" 1
e2e_wait_for 10 companion_shown || e2e_fatal "a click on the icon did not show her again"

# The settings window: "设置", the third item from the bottom of the tray icon's menu.
e2e_click_window "$icon" 3
e2e_wait_menu || e2e_fatal "the tray icon's menu did not open"
xdotool key Up Up Up Return
settings_shown() { test -n "$(e2e_settings_window)"; }
e2e_wait_for 10 settings_shown || e2e_fatal "设置 did not open the settings window"
settings=$(e2e_settings_window)
title() { LC_ALL=C.UTF-8 xprop -id "$settings" -notype "$1" | sed -n 's/^[^=]* = //p'; }
e2e_check "the settings window is titled 设置 ($(title _NET_WM_NAME))" \
    test "$(title _NET_WM_NAME)" = '"设置"'
skips_taskbar() { xprop -id "$settings" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR; }
e2e_check "the settings window has no taskbar button" e2e_wait_for 10 skips_taskbar

e2e_check "no sound-server noise on her standard error" \
    bash -c '! grep -qiE "pulse|pa_context" "$1"' _ "$E2E_DIR/plumo.log"
e2e_finish
