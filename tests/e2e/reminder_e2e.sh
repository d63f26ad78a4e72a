#!/usr/bin/env bash
# A memo item falls due a few seconds after start (the clock set by libfaketime): she
# announces it in its second, a click on her bubble opens the answer menu with the due
# item's answers, and "不再提醒" closes the item in the database file.
source "$(dirname "$0")/e2e_lib.sh"

e2e_find_faketime

e2e_setup
DB="$E2E_DIR/plumo/config/d.ini"
START="2024-03-05 14:29:52"
DUE="2024-03-05 14:30:00"
"$E2E_DIR/plumo/Notavo" --db "$DB" add --at "$DUE" "交报告" >/dev/null ||
    e2e_fatal "Notavo could not add the item"
"$E2E_DIR/plumo/Notavo" --db "$DB" add --at "2024-03-05 18:00:00" "later" >/dev/null
item_status() { sqlite3 "$DB" "select status from log where title='交报告'"; }

# Her clock starts at START and runs on from there; the other programs keep the real one.
# Her tick logs each announcement on standard error.
LD_PRELOAD=$FAKETIME_LIB FAKETIME="@$START" FAKETIME_DONT_FAKE_MONOTONIC=1 \
    QT_LOGGING_RULES="plumo.tick.info=true" \
    "$E2E_DIR/plumo/plumo" >"$E2E_DIR/plumo.log" 2>&1 &
PLUMO_PID=$!
e2e_wait_companion

# The bubble's text area, the blinking eyes left out.
bubble_crop() {
    e2e_window_position
    import -window root -crop "74x66+$((X + 12))+$((Y + 17))" +repage "$E2E_DIR/$1"
}
bubble_crop greeting.png
e2e_save_screenshot reminder-greeting.png
announced() { e2e_log_has "announce $DUE item [0-9]+: 交报告\$"; }
if announced; then
    e2e_fatal "she announced the item before her greeting could be seen: her start took eight seconds"
fi

# The due second (eight seconds after her start): the tick announces the item, then she
# draws it in her bubble.
e2e_check "the tick announces the item in its second ($DUE)" e2e_wait_for 30 announced
changed() {
    local differing
    differing=$(compare -metric AE "$E2E_DIR/greeting.png" "$E2E_DIR/announced.png" null: 2>&1 || true)
    test "${differing%% *}" -gt 50
}
drawn() { bubble_crop announced.png && changed; }
e2e_wait_for 10 drawn || true
e2e_save_screenshot reminder-announced.png
e2e_check "the bubble says something new in the due second" changed
e2e_check "the item is still open before an answer" test "$(item_status)" = 0

# A click on the bubble opens the answer menu: 查看, 不再提醒, 延迟一天, 稍后提醒.
e2e_open_answer_menu reminder-answer-menu.png
four_items() { test "$mh" -gt 75; }
e2e_check "the menu offers the due item's four answers (height $mh)" four_items

# The second of four items: 不再提醒.
e2e_move_pointer $((mx + mw / 2)) $((my + mh * 3 / 8))
xdotool click 1
closed() { test "$(item_status)" = 1; }
e2e_check "不再提醒 sets the item's status to 1 in the database file" e2e_wait_for 10 closed
e2e_check "the other item stays open" \
    test "$(sqlite3 "$DB" "select status from log where title='later'")" = 0
e2e_finish
