#!/usr/bin/env bash
# The settings window on a real X server: opened from the main menu, it rewrites the
# settings file and the autostart entry when confirmed.
source "$(dirname "$0")/e2e_lib.sh"
e2e_setup
export XDG_CONFIG_HOME="$E2E_DIR/xdg"
mkdir -p "$XDG_CONFIG_HOME"
settings_file="$E2E_DIR/plumo/config/config.ini"
printf '[setting]\r\ntime=off\r\nsound=0\r\nauto=off\r\n' >"$settings_file"
e2e_start_plumo

settings_window() { e2e_settings_window; }
settings_shown() { test -n "$(settings_window)"; }
settings_gone() { test -z "$(settings_window)"; }

# Opens "设置", the third item from the bottom of the tray icon's menu, by keyboard.
open_settings() {
    local icon
    e2e_wait_tray_icon
    icon=$ICON
    e2e_click_window "$icon" 3
    e2e_wait_menu || e2e_fatal "the tray icon's menu did not open"
    xdotool key Up Up Up Return
    e2e_wait_for 10 settings_shown || e2e_fatal "设置 did not open the settings window"
    SET_WID=$(settings_window)
    eval "$(xdotool getwindowgeometry --shell "$SET_WID")"
    SET_X=$X SET_Y=$Y
    e2e_wait_for 10 settings_drawn || e2e_fatal "the settings window was not drawn"
}
# Its middle, over the bare desktop until then, shows the settings.
settings_drawn() { test "$(e2e_pixel $((SET_X + 105)) $((SET_Y + 129)))" != "$ROOT_PIXEL"; }

# Clicks the settings window at (x, y) of its own.
click_settings() {
    e2e_move_pointer $((SET_X + $1)) $((SET_Y + $2))
    xdotool click 1
}

open_settings
e2e_save_screenshot settings-window.png
e2e_check "the companion went to the tray" test -z "$(e2e_companion_windows)"
corner=$(e2e_pixel $((SET_X + 209)) $((SET_Y + 128)))
e2e_check "the key colour beside the picture is see-through ($corner)" test "$corner" = "$ROOT_PIXEL"

click_settings 16 15    # 整点报时
click_settings 45 237   # 确定
e2e_check "确定 closes the window" e2e_wait_for 10 settings_gone
expected=$(printf '[setting]\r\ntime=on\r\nsound=0\r\nauto=off\r\n' | od -c)
e2e_check "the chime is on in config.ini, four lines" test "$(od -c "$settings_file")" = "$expected"

entry="$XDG_CONFIG_HOME/autostart/plumo.desktop"
e2e_check "no autostart entry yet" test ! -e "$entry"
open_settings
click_settings 88 15    # 开机自动运行
click_settings 45 237   # 确定
e2e_check "确定 closes the window again" e2e_wait_for 10 settings_gone
expected=$(printf '[setting]\r\ntime=on\r\nsound=0\r\nauto=on\r\n' | od -c)
e2e_check "autostart is on in config.ini" test "$(od -c "$settings_file")" = "$expected"
e2e_check "the autostart entry starts this program" grep -qF "$E2E_DIR/plumo/plumo" "$entry"
e2e_check "the companion stays in the tray" test -z "$(e2e_companion_windows)"
e2e_finish
