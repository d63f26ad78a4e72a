#!/usr/bin/env bash
# A memo item falls due a few seconds after start (the clock set by libfaketime): she
# announces it in its second, a click on her bubble opens the answer menu with the due
# item's answers, and "不再提醒" closes the item in the database file.
source "$(dirname "$0")/e2e_lib.sh"

FAKETIME_LIB=""
for candidate in /usr/lib/*/faketime/libfaketime.so.1 /usr/lib/faketime/libfaketime.so.1; do
    [ -r "$candidate" ] && FAKETIME_LIB=$candidate && break
done
[ -n "$FAKETIME_LIB" ] || { echo "FAILED: libfaketime is not installed"; exit 1; }

e2e_setup
DB="$E2E_DIR/plumo/config/d.ini"
START="2024-03-05 14:29:52"
DUE="2024-03-05 14:30:00"
"$E2E_DIR/plumo/Notavo" --db "$DB" add --at "$DUE" "交报告" >/dev/null ||
    e2e_fatal "Notavo could not add the item"
"$E2E_DIR/plumo/Notavo" --db "$DB" add --at "2024-03-05 18:00:00" "later" >/dev/null
item_status() { sqlite3 "$DB" "select status from log where title='交报告'"; }

# Her clock starts at START and runs on from there; the other programs keep the real one.
LD_PRELOAD=$FAKETIME_LIB FAKETIME="@$START" FAKETIME_DONT_FAKE_MONOTONIC=1 \
    "$E2E_DIR/plumo/plumo" >"$E2E_DIR/plumo.log" 2>&1 &
PLUMO_PID=$!
companion_up() { WID=$(e2e_companion_windows | head -n 1); test -n "$WID"; }
e2e_wait_for 10 companion_up || e2e_fatal "the companion window did not appear"
started=$(date +%s.%N)
sleep 1

# The bubble's text area, the blinking eyes left out.
bubble_crop() {
    e2e_window_position
    import -window root -crop "74x66+$((X + 12))+$((Y + 17))" +repage "$E2E_DIR/$1"
}
bubble_crop greeting.png
e2e_save_screenshot reminder-greeting.png

# Up to the due second (eight seconds after her start) and a little beyond.
until_due=$(awk -v s="$started" -v now="$(date +%s.%N)" 'BEGIN { printf "%.1f", s + 9.5 - now }')
sleep "$until_due"
bubble_crop announced.png
e2e_save_screenshot reminder-announced.png
changed() {
    local differing
    differing=$(compare -metric AE "$E2E_DIR/greeting.png" "$E2E_DIR/announced.png" null: 2>&1 || true)
    test "${differing%% *}" -gt 50
}
e2e_check "the bubble says something new in the due second" changed
e2e_check "the item is still open before an answer" test "$(item_status)" = 0

# A click on the bubble opens the answer menu: 查看, 不再提醒, 延迟一天.
e2e_window_position
xdotool mousemove $((X + 50)) $((Y + 50)) click 1
sleep 0.7
menu=$(e2e_popups | head -n 1)
e2e_check "a click on the bubble opens the answer menu" test -n "$menu"
e2e_save_screenshot reminder-answer-menu.png
[ -n "$menu" ] || e2e_finish
read -r _ mx my mw mh <<<"$menu"
three_items() { test "$mh" -gt 50; }
e2e_check "the menu offers the due item's three answers (height $mh)" three_items

# The second of three items: 不再提醒.
xdotool mousemove $((mx + mw / 2)) $((my + mh / 2))
sleep 0.3
xdotool click 1
closed() { test "$(item_status)" = 1; }
e2e_check "不再提醒 sets the item's status to 1 in the database file" e2e_wait_for 5 closed
e2e_check "the other item stays open" \
    test "$(sqlite3 "$DB" "select status from log where title='later'")" = 0
e2e_finish
