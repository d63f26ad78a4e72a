#!/usr/bin/env bash
# The memo program from the main menu: "备忘录" starts Notavo and sends the companion to the
# tray; closing Notavo's window brings the caption back; choosing it again while Notavo
# runs ends it.
source "$(dirname "$0")/e2e_lib.sh"
e2e_setup
e2e_start_plumo

e2e_wait_tray_icon
icon=$ICON

# Notavo processes of this run (the copy in the scratch program folder).
notavo_pids() {
    local pid
    for pid in $(pgrep -x Notavo 2>/dev/null); do
        [ "$(readlink "/proc/$pid/exe" 2>/dev/null)" = "$E2E_DIR/plumo/Notavo" ] && echo "$pid"
    done
    return 0
}
notavo_running() { test -n "$(notavo_pids)"; }
notavo_gone() { test -z "$(notavo_pids)"; }
notavo_window() { xdotool search --onlyvisible --name '^备忘录$' 2>/dev/null | head -n 1; }
notavo_window_shown() { test -n "$(notavo_window)"; }
companion_hidden() { test -z "$(e2e_companion_windows)"; }

# Opens the main menu from the tray icon and saves its picture, once drawn, as $1.png; the
# pictures tell the memo caption.
open_main_menu() {
    e2e_click_window "$icon" 3
    local mx my mw mh
    e2e_wait_menu || e2e_fatal "the main menu did not open"
    read -r _ mx my mw mh <<<"$MENU"
    import -window root -crop "${mw}x${mh}+${mx}+${my}" +repage "$E2E_DIR/$1.png"
    cp "$E2E_DIR/$1.png" "$PLUMO_ARTIFACT_DIR/memo-menu-$1.png"  # for when a check fails
}
close_menu() {
    xdotool key Escape
    e2e_wait_for 10 e2e_no_menu || e2e_fatal "Escape did not close the main menu"
}
same_menu() {  # two saved menu pictures are identical
    [ "$(compare -metric AE "$E2E_DIR/$1.png" "$E2E_DIR/$2.png" null: 2>&1)" = 0 ]
}
different_menu() { ! same_menu "$@"; }
# The memo item is the second command of the menu, after the hide/show toggle.
choose_memo_item() {
    open_main_menu chosen
    xdotool key Down Down Return
    e2e_wait_for 10 e2e_no_menu || e2e_fatal "the main menu stayed open after 备忘录"
}

# The menu with the caption 备忘录 while she is in the tray, where she is while Notavo runs.
e2e_click_window "$icon" 1
e2e_wait_for 10 companion_hidden || e2e_fatal "a click on the icon did not hide her"
open_main_menu idle
close_menu
e2e_click_window "$icon" 1
companion_shown() { test -n "$(e2e_companion_windows)"; }
e2e_wait_for 10 companion_shown || e2e_fatal "a second click did not show her"

choose_memo_item
e2e_check "备忘录 starts Notavo" e2e_wait_for 10 notavo_running
e2e_check "its window 备忘录 appears" e2e_wait_for 10 notavo_window_shown
e2e_check "the companion goes to the tray" e2e_wait_for 10 companion_hidden
e2e_save_screenshot memo-program.png
pid=$(notavo_pids | head -n 1)
e2e_check "Notavo was started with -s" \
    test "$(tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null)" = "$E2E_DIR/plumo/Notavo -s "
open_main_menu started
close_menu
e2e_check "the menu says 关闭备忘录 while it runs" different_menu idle started

# Closing Notavo's own window ends it; the watcher sets the caption back.
xdotool windowactivate --sync "$(notavo_window)" key alt+F4
e2e_check "closing its window ends Notavo" e2e_wait_for 10 notavo_gone
caption_back() {
    open_main_menu closed
    close_menu
    same_menu idle closed
}
e2e_check "the caption reads 备忘录 again" e2e_wait_for 10 caption_back

# Started again, then 备忘录 once more while it runs: it is ended.
choose_memo_item
e2e_check "备忘录 starts Notavo again" e2e_wait_for 10 notavo_window_shown
choose_memo_item
e2e_check "choosing 备忘录 while Notavo runs ends it" e2e_wait_for 10 notavo_gone
no_notavo_window() { ! notavo_window_shown; }
e2e_check "its window is gone" e2e_wait_for 10 no_notavo_window
open_main_menu ended
close_menu
e2e_check "the caption reads 备忘录 after closing it" same_menu idle ended
e2e_finish
