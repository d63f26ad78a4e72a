#!/usr/bin/env bash
# Under another program's full-screen window she keeps quiet: a memo item that falls due
# is said in her bubble but starts no sound; once that window closes, the item's sound
# plays. The sound process notes in its trace every sound it is asked for.
source "$(dirname "$0")/e2e_lib.sh"

FAKETIME_LIB=""
for candidate in /usr/lib/*/faketime/libfaketime.so.1 /usr/lib/faketime/libfaketime.so.1; do
    [ -r "$candidate" ] && FAKETIME_LIB=$candidate && break
done
[ -n "$FAKETIME_LIB" ] || { echo "FAILED: libfaketime is not installed"; exit 1; }
command -v wmctrl >/dev/null || { echo "FAILED: wmctrl is not installed"; exit 1; }
WMCTRL=$(type -P wmctrl)
wmctrl() { timeout 10 "$WMCTRL" "$@"; }

FILM_TITLE=plumo-e2e-film
FILM_PID=""
full_screen_teardown() {
    if [ -n "$FILM_PID" ]; then kill "$FILM_PID" 2>/dev/null || true; fi
    e2e_teardown
}

e2e_setup
trap full_screen_teardown EXIT
DB="$E2E_DIR/plumo/config/d.ini"
START="2024-03-05 14:29:35"
DUE="2024-03-05 14:30:00"
"$E2E_DIR/plumo/Notavo" --db "$DB" add --at "$DUE" "交报告" >/dev/null ||
    e2e_fatal "Notavo could not add the item"

# Her clock starts at START and runs on; her tick logs each second and what it sounds.
LD_PRELOAD=$FAKETIME_LIB FAKETIME="@$START" FAKETIME_DONT_FAKE_MONOTONIC=1 \
    QT_LOGGING_RULES="plumo.tick=true" \
    "$E2E_DIR/plumo/plumo" >"$E2E_DIR/plumo.log" 2>&1 &
PLUMO_PID=$!
e2e_wait_companion
if grep -q ' exit no playback$' "$PLUMO_SOUND_TRACE"; then
    e2e_fatal "the sound process finds no way to play here: no sound would be asked for"
fi

# Another program's window, made full-screen and active.
xmessage -title "$FILM_TITLE" "film" >/dev/null 2>&1 &
FILM_PID=$!
film_id() { wmctrl -l | awk -v title="$FILM_TITLE" '$NF == title { print $1; exit }'; }
film_listed() { test -n "$(film_id)"; }
e2e_wait_for 10 film_listed || e2e_fatal "the window $FILM_TITLE did not appear"
FILM=$(printf '%d' "$(film_id)")
wmctrl -r "$FILM_TITLE" -b add,fullscreen
wmctrl -a "$FILM_TITLE"
film_active_and_full_screen() {
    local active
    active=$(xprop -root _NET_ACTIVE_WINDOW | sed -n 's/.*window id # //p')
    [ -n "$active" ] && [ "$(printf '%d' "$active")" = "$FILM" ] &&
        xprop -id "$FILM" _NET_WM_STATE | grep -q _NET_WM_STATE_FULLSCREEN
}
e2e_wait_for 10 film_active_and_full_screen ||
    e2e_fatal "the window $FILM_TITLE did not become active and full-screen"
e2e_save_screenshot full-screen-film.png

announced() { e2e_log_has "announce $DUE item [0-9]+: 交报告\$"; }
if announced; then
    e2e_fatal "the item fell due before the full-screen window was up: her start took 25 seconds"
fi
reminder_asked() { grep -qE ' command open .*/reminder\.mp3$' "$PLUMO_SOUND_TRACE"; }

e2e_check "the tick announces the item in its second ($DUE)" e2e_wait_for 40 announced
held() { e2e_log_has "full-screen: sound of item [0-9]+ held"; }
e2e_check "the item's sound is held under the full-screen window" held
# Two more ticks under the window: had a sound been asked for, the trace would show it.
ticks() { grep -c ' covers ' "$E2E_DIR/plumo.log" || true; }
after_announce=$(ticks)
two_more_ticks() { test "$(ticks)" -ge $((after_announce + 2)); }
e2e_wait_for 10 two_more_ticks || e2e_fatal "her tick stopped"
no_reminder_asked() { ! reminder_asked; }
e2e_check "no sound starts under the full-screen window" no_reminder_asked

# The window closes: the item still waits for its answer, so its sound plays now.
kill "$FILM_PID"
wait "$FILM_PID" 2>/dev/null || true
FILM_PID=""
e2e_check "once the full-screen window is gone the item's sound plays" e2e_wait_for 10 reminder_asked
e2e_check "she says why it plays late" e2e_log_has "full-screen window gone: sound of item [0-9]+ plays"
e2e_save_screenshot full-screen-gone.png
e2e_finish
