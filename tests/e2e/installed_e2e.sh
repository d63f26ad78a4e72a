#!/usr/bin/env bash
# The installed program: `cmake --install` into a scratch root, the program folder made
# read-only, and a user with an empty home starting PREFIX/bin/plumo. Her folder under
# ~/.local/share/plumo is made at the first start, and her outfit change, her settings and
# her autostart entry land there and in her home; the installed files keep their bytes.
source "$(dirname "$0")/e2e_lib.sh"
: "${PLUMO_BUILD_DIR:?the build folder}"
e2e_setup
trap 'chmod -R u+w "$E2E_DIR" 2>/dev/null; e2e_teardown' EXIT

root="$E2E_DIR/root"
DESTDIR="$root" cmake --install "$PLUMO_BUILD_DIR" --prefix /usr >"$E2E_DIR/install.log" 2>&1 ||
    { cat "$E2E_DIR/install.log"; e2e_fatal "cmake --install failed"; }
installed="$root/usr/lib/plumo"
for file in bin/plumo bin/datecn lib/plumo/plumo lib/plumo/Notavo lib/plumo/plumo-sound \
    lib/plumo/installed lib/plumo/config/config.ini lib/plumo/skin/g1 lib/plumo/sound/msg.mp3 \
    share/applications/plumo.desktop share/applications/plumo-notavo.desktop \
    share/icons/hicolor/48x48/apps/plumo.png share/icons/hicolor/scalable/apps/plumo.svg; do
    e2e_check "installed: $file" test -e "$root/usr/$file"
done
e2e_check "no memo database is installed" test ! -e "$installed/config/d.ini"
e2e_check "the menu entry starts /usr/bin/plumo" \
    grep -qx "Exec=/usr/bin/plumo" "$root/usr/share/applications/plumo.desktop"
chmod -R a-w "$installed"
fingerprint() { (cd "$root" && find . -type f -print0 | sort -z | xargs -0 sha256sum); }
before=$(fingerprint)

# A user of her own, with an empty home, unless the test already runs as one.
home="$E2E_DIR/home"
mkdir "$home"
runtime="$E2E_DIR/runtime"  # her runtime folder, which holds her single-instance guard
mkdir -m 700 "$runtime"
chmod 755 "$E2E_DIR"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
    chown nobody "$home" "$runtime"
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
env -u XDG_DATA_HOME -u XDG_CONFIG_HOME HOME="$home" XDG_RUNTIME_DIR="$runtime" \
    "${as_user[@]}" "$root/usr/bin/plumo" >"$E2E_DIR/plumo.log" 2>&1 &
PLUMO_PID=$!
e2e_wait_companion
e2e_save_screenshot installed-start.png

data="$home/.local/share/plumo"
mode() { stat -c %a "$1"; }
e2e_check "her folder is made, private" test "$(mode "$data")" = 700
e2e_check "her memo database, mode 600" test "$(mode "$data/config/d.ini")" = 600
e2e_check "her settings, from the installed ones" cmp -s "$installed/config/config.ini" "$data/config/config.ini"
e2e_check "her outfits, from the installed ones" cmp -s "$installed/skin/g1" "$data/skin/g1"

# 换装, the first item of her own right-click menu, clicked on the girl picture.
e2e_window_position
e2e_move_pointer $((X + 137)) $((Y + 45))
xdotool click 3
e2e_wait_menu || e2e_fatal "her right-click menu did not open"
xdotool key Down Return
changed() { cmp -s "$installed/skin/g2" "$data/skin/g1"; }
e2e_check "换装 swaps the outfits in her folder" e2e_wait_for 10 changed

# 设置 from the tray icon's menu: the hourly chime off (it starts on), autostart on, 确定.
settings_window() { e2e_settings_window; }
settings_shown() { test -n "$(settings_window)"; }
e2e_wait_tray_icon
icon=$ICON
e2e_click_window "$icon" 3
e2e_wait_menu || e2e_fatal "the tray icon's menu did not open"
xdotool key Up Up Up Return
e2e_wait_for 10 settings_shown || e2e_fatal "设置 did not open the settings window"
eval "$(xdotool getwindowgeometry --shell "$(settings_window)")"
for point in "16 15" "88 15" "45 237"; do  # 整点报时, 开机自动运行, 确定
    read -r px py <<<"$point"
    e2e_move_pointer $((X + px)) $((Y + py))
    xdotool click 1
done
saved() { grep -q "time=off" "$data/config/config.ini" && grep -q "auto=on" "$data/config/config.ini"; }
e2e_check "the settings are saved in her folder" e2e_wait_for 10 saved
entry="$home/.config/autostart/plumo.desktop"
e2e_check "her autostart entry starts PREFIX/bin/plumo" grep -qxF "Exec=$root/usr/bin/plumo" "$entry"

e2e_check "the installed files keep their bytes" test "$before" = "$(fingerprint)"
e2e_finish
