#!/usr/bin/env bash
# An item that repeats every day falls due a few seconds after start (the clock set by
# libfaketime): "不再提醒" on her answer menu closes this day's reminder, and the item is
# open again in the database file for the same time tomorrow.
source "$(dirname "$0")/e2e_lib.sh"

e2e_find_faketime

e2e_setup
DB="$E2E_DIR/plumo/config/d.ini"
START="2024-03-05 08:59:52"
DUE="2024-03-05 09:00:00"
"$E2E_DIR/plumo/Notavo" --db "$DB" add --at "$DUE" --repeat daily "晨跑" >/dev/null ||
    e2e_fatal "Notavo could not add the repeating item"
# Read from the file itself: the memo program would roll a closed item forward on its own.
item_status() { sqlite3 "$DB" "select status from log where title='晨跑'"; }
reminder_second() {
    sqlite3 "$DB" "select cast(round(reminder * 86400) as integer) from log where title='晨跑'"
}
first_reminder=$(reminder_second)

LD_PRELOAD=$FAKETIME_LIB FAKETIME="@$START" FAKETIME_DONT_FAKE_MONOTONIC=1 \
    QT_LOGGING_RULES="plumo.tick.info=true" \
    "$E2E_DIR/plumo/plumo" >"$E2E_DIR/plumo.log" 2>&1 &
PLUMO_PID=$!
e2e_wait_companion

announced() { e2e_log_has "announce $DUE item [0-9]+: 晨跑\$"; }
e2e_check "the tick announces the repeating item in its second ($DUE)" e2e_wait_for 30 announced
e2e_save_screenshot repeat-announced.png

# A click on the bubble opens the answer menu: 查看, 不再提醒, 延迟一天, 稍后提醒.
e2e_open_answer_menu repeat-answer-menu.png

# The second of four items: 不再提醒.
e2e_move_pointer $((mx + mw / 2)) $((my + mh * 3 / 8))
xdotool click 1
tomorrow() {
    test "$(item_status)" = 0 && test "$(reminder_second)" = $((first_reminder + 86400))
}
e2e_check "不再提醒 leaves the item open for the same time tomorrow" e2e_wait_for 10 tomorrow
e2e_check "nothing went wrong on the way" \
    test "$(sqlite3 "$DB" "select count(*) from log")" = 1
e2e_finish
