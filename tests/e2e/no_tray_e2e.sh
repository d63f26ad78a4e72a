#!/usr/bin/env bash
# A desktop without a window manager or tray: she shows no message box, her own menu
# carries the main menu's commands, and 退出 there ends the program.
source "$(dirname "$0")/e2e_lib.sh"
e2e_setup bare
e2e_start_plumo
# Whatever she shows at start has shown once a click comes back from her.
e2e_round_trip

e2e_check "no message box waits at start" test -z "$(e2e_popups)"
e2e_check "no tray icon" test -z "$(e2e_tray_icon)"
e2e_save_screenshot no-tray.png

# The right button on the girl opens her menu; its last item is 退出.
e2e_window_position
e2e_move_pointer $((X + 103 + 30)) $((Y + 60))
xdotool click 3
e2e_wait_menu || e2e_fatal "a right-click on her opened no menu"
e2e_save_screenshot no-tray-menu.png
read -r _ mx my mw mh <<<"$MENU"
e2e_move_pointer $((mx + mw / 2)) $((my + mh - 12))
xdotool click 1
gone() { ! kill -0 "$PLUMO_PID" 2>/dev/null; }
e2e_check "退出 from her own menu ends the program" e2e_wait_for 10 gone
PLUMO_PID=""
e2e_finish
