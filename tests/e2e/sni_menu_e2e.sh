#!/usr/bin/env bash
# Her tray icon in a StatusNotifierItem host: Xfce's panel, with its window manager, on a
# session bus of its own. The host lists her item, her main menu is exported over D-Bus with
# the captions she gives it, the host's click toggles her, and 退出 chosen in the exported
# menu ends her, as the host does it (the DBusMenu Event call).
if [ -z "${PLUMO_E2E_SESSION_BUS:-}" ]; then
    PLUMO_E2E_SESSION_BUS=1 exec dbus-run-session -- bash "$0" "$@"
fi
source "$(dirname "$0")/e2e_lib.sh"
e2e_setup bare

# The panel keeps its settings and cache in the scratch folder and starts no accessibility bus.
export XDG_CONFIG_HOME=$E2E_DIR/config XDG_CACHE_HOME=$E2E_DIR/cache NO_AT_BRIDGE=1
xfwm4 --compositor=off >"$E2E_DIR/xfwm4.log" 2>&1 &
PLUMO_WM_PID=$!  # stopped with the display
xfce4-panel >"$E2E_DIR/panel.log" 2>&1 &
PANEL_PID=$!
stop_panel() {
    kill "$PANEL_PID" 2>/dev/null
    e2e_teardown
}
trap stop_panel EXIT

SESSION_BUS=org.freedesktop.DBus
WATCHER=org.kde.StatusNotifierWatcher
bus_call() { timeout 10 dbus-send --session --print-reply "$@"; }
# Property $4 of interface $3 of object $2 of service $1, as dbus-send prints it.
bus_property() {
    bus_call --dest="$1" "$2" org.freedesktop.DBus.Properties.Get string:"$3" string:"$4"
}

host_registered() {
    bus_property "$WATCHER" /StatusNotifierWatcher "$WATCHER" IsStatusNotifierHostRegistered \
        2>/dev/null | grep -q "boolean true"
}
# She asks at her start whether a host runs: it must be up by then.
e2e_wait_for 60 host_registered || e2e_fatal "Xfce's panel registered no StatusNotifierItem host within 60 seconds"
echo "ok: the panel's StatusNotifierItem host is up"

e2e_start_plumo

# The host's items, as "service/path" or a bare service.
registered_items() {
    bus_property "$WATCHER" /StatusNotifierWatcher "$WATCHER" RegisteredStatusNotifierItems \
        2>/dev/null | sed -n 's/^ *string "\(.*\)"$/\1/p'
}
# Her item among the host's: sets ITEM_SERVICE and ITEM_PATH.
her_item_listed() {
    local entry service pid
    while read -r entry; do
        [ -n "$entry" ] || continue
        service=${entry%%/*}
        pid=$(bus_call --dest=$SESSION_BUS /org/freedesktop/DBus \
            $SESSION_BUS.GetConnectionUnixProcessID string:"$service" 2>/dev/null |
            sed -n 's/^ *uint32 //p')
        if [ "$pid" = "$PLUMO_PID" ]; then
            ITEM_SERVICE=$service
            ITEM_PATH=/StatusNotifierItem
            [ "$entry" = "$service" ] || ITEM_PATH=/${entry#*/}
            return 0
        fi
    done < <(registered_items)
    return 1
}
e2e_wait_for 20 her_item_listed || e2e_fatal "the host does not list her item ($(registered_items | tr '\n' ' '))"
echo "ok: the host lists her item ($ITEM_SERVICE $ITEM_PATH)"

MENU_PATH=$(bus_property "$ITEM_SERVICE" "$ITEM_PATH" org.kde.StatusNotifierItem Menu |
    sed -n 's/.*object path "\(.*\)"$/\1/p') || true
menu_exported() { [ -n "$MENU_PATH" ] && [ "$MENU_PATH" != /NO_DBUSMENU ]; }
e2e_check "her item names an exported menu ($MENU_PATH)" menu_exported
menu_exported || e2e_finish

# The exported menu's items with a caption, one "id caption" line each, in menu order.
menu_items() {
    bus_call --dest="$ITEM_SERVICE" "$MENU_PATH" com.canonical.dbusmenu.GetLayout \
        int32:0 int32:-1 array:string:label,enabled,visible,type 2>/dev/null | awk '
        /struct \{$/ { item = 1; next }
        item && /^ *int32 -?[0-9]+$/ { id = $2; item = 0; next }
        /^ *string "label"$/ { label = 1; next }
        label {
            sub(/^ *variant +string "/, ""); sub(/"$/, "")
            if ($0 != "") print id, $0
            label = 0
        }'
}
captions() { menu_items | cut -d' ' -f2- | tr '\n' ' '; }
main_menu_with() { test "$(captions)" = "$1 备忘录 万年历 设置 关于 退出 "; }
e2e_check "the exported menu holds the main menu's items ($(captions))" \
    main_menu_with 隐藏小秘书

# The host's click on her icon (Activate) hides her, and the menu follows.
activate() {
    bus_call --dest="$ITEM_SERVICE" "$ITEM_PATH" org.kde.StatusNotifierItem.Activate \
        int32:0 int32:0 >/dev/null || e2e_fatal "her item took no Activate call"
}
companion_hidden() { test -z "$(e2e_companion_windows)"; }
companion_shown() { test -n "$(e2e_companion_windows)"; }
activate
e2e_check "the host's click hides her" e2e_wait_for 10 companion_hidden
e2e_check "the exported menu then offers 显示小秘书" e2e_wait_for 10 main_menu_with 显示小秘书
activate
e2e_check "a second click shows her again" e2e_wait_for 10 companion_shown
e2e_check "and the exported menu offers 隐藏小秘书 again" e2e_wait_for 10 main_menu_with 隐藏小秘书
WID=$(e2e_companion_windows | head -n 1)
e2e_save_screenshot sni-host.png

# 退出 chosen in the exported menu: she says goodbye, then the program ends by itself.
quit_id=$(menu_items | awk '$2 == "退出" { print $1 }') || true
[ -n "$quit_id" ] || e2e_fatal "no 退出 in the exported menu"
bus_call --dest="$ITEM_SERVICE" "$MENU_PATH" com.canonical.dbusmenu.Event \
    int32:"$quit_id" string:clicked variant:int32:0 uint32:0 >/dev/null
gone() { ! kill -0 "$PLUMO_PID" 2>/dev/null; }
e2e_check "退出 from the host's menu ends the program" e2e_wait_for 10 gone
status=0
wait "$PLUMO_PID" || status=$?
e2e_check "she ended of her own accord (status $status)" test "$status" = 0
PLUMO_PID=""
e2e_finish
