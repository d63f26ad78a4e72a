#!/usr/bin/env bash
# The tray icon, its menu, the bubble and the goodbye on a real X server with icewm.
source "$(dirname "$0")/e2e_lib.sh"
e2e_setup
e2e_start_plumo

e2e_wait_tray_icon
icon=$ICON
echo "ok: the icon is in the tray"

# Hovering shows the tooltip: the tooltip colour appears above the icon.
eval "$(xdotool getwindowgeometry --shell "$icon")"
above="160x40+$((X - 80 > 0 ? X - 80 : 0))+$((Y - 40))"
tooltip_share() {
    import -window root "$E2E_DIR/screen.png"
    convert "$E2E_DIR/screen.png" -crop "$above" +repage -fill black +opaque "rgb(255,255,220)" \
        -fill white -opaque "rgb(255,255,220)" -format "%[fx:mean>0.1]" info:-
}
e2e_check "no tooltip before hovering" test "$(tooltip_share)" = 0
e2e_move_pointer $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
tooltip_shown() { test "$(tooltip_share)" = 1; }
e2e_check "hovering the icon shows its tooltip" e2e_wait_for 10 tooltip_shown
e2e_save_screenshot tray-tooltip.png
e2e_move_pointer 10 10
tooltip_gone() { test "$(tooltip_share)" = 0; }
e2e_wait_for 10 tooltip_gone || e2e_fatal "the tooltip stayed after the pointer left the icon"

e2e_click_window "$icon" 1
companion_hidden() { test -z "$(e2e_companion_windows)"; }
e2e_check "a click on the icon hides the companion" e2e_wait_for 10 companion_hidden
e2e_click_window "$icon" 1
companion_shown() { test -n "$(e2e_companion_windows)"; }
e2e_check "a second click shows her again" e2e_wait_for 10 companion_shown
WID=$(e2e_companion_windows | head -n 1)

# A click on the bubble opens the command panel: the empty corner of the text turns
# into the settings button.
e2e_window_position
bx=$X by=$Y
before=$(e2e_pixel $((bx + 70)) $((by + 78)))
e2e_click_at $((bx + 70)) $((by + 78))
panel_shown() { test "$(e2e_pixel $((bx + 70)) $((by + 78)))" != "$before"; }
e2e_wait_for 10 panel_shown || true
after=$(e2e_pixel $((bx + 70)) $((by + 78)))
e2e_check "a click on the bubble opens the command panel ($before -> $after)" test "$before" != "$after"
e2e_save_screenshot command-panel.png

# The right button on the icon opens the main menu; its last item says goodbye.
e2e_click_window "$icon" 3
e2e_check "a right-click on the icon opens the menu" e2e_wait_menu
menu=$MENU
e2e_save_screenshot tray-menu.png
[ -n "$menu" ] || e2e_finish
read -r _ mx my mw mh <<<"$menu"
e2e_move_pointer $((mx + mw / 2)) $((my + mh - 12))
xdotool click 1
gone() { ! kill -0 "$PLUMO_PID" 2>/dev/null; }
saying_goodbye() { ! gone && [ -n "$(e2e_companion_windows)" ]; }
# She says goodbye first, then the program ends.
e2e_check "退出 first shows her goodbye" saying_goodbye
e2e_save_screenshot goodbye.png
e2e_check "退出 ends the program" e2e_wait_for 10 gone
PLUMO_PID=""
e2e_finish
