# Helpers for end-to-end tests: the built program folder, copied to a scratch folder,
# runs on its own virtual display with icewm.
# shellcheck shell=bash
set -euo pipefail

: "${PLUMO_PROGRAM_DIR:?the built program folder}"
: "${PLUMO_ARTIFACT_DIR:=/tmp}"
E2E_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
export PLUMO_ROOT_COLOUR="#2f5d8a"
ROOT_PIXEL="srgb(47,93,138)"
E2E_FAILURES=0

source "$E2E_ROOT/scripts/virtual_display.sh"

# No X client may hang a test: each call is bounded, so a stuck one fails with its output
# instead of running into the test's time limit.
XDOTOOL=$(type -P xdotool) XPROP=$(type -P xprop) IMPORT=$(type -P import)
XWININFO=$(type -P xwininfo)
xdotool() { timeout 10 "$XDOTOOL" "$@"; }
xprop() { timeout 10 "$XPROP" "$@"; }
import() { timeout 20 "$IMPORT" "$@"; }
xwininfo() { timeout 10 "$XWININFO" "$@"; }

# Sets FAKETIME_LIB to libfaketime, which moves her clock in the scripts that need it; ends
# the script when it is not installed.
e2e_find_faketime() {
    FAKETIME_LIB=""
    local candidate
    for candidate in /usr/lib/*/faketime/libfaketime.so.1 /usr/lib/faketime/libfaketime.so.1; do
        [ -r "$candidate" ] && FAKETIME_LIB=$candidate && break
    done
    [ -n "$FAKETIME_LIB" ] || { echo "FAILED: libfaketime is not installed"; exit 1; }
}

# $1: "bare" for a display without a window manager or tray.
e2e_setup() {
    trap e2e_teardown EXIT
    # A timed trace of every step, kept beside the screenshots for when a run goes wrong.
    mkdir -p "$PLUMO_ARTIFACT_DIR"
    exec {E2E_TRACE}>"$PLUMO_ARTIFACT_DIR/$(basename "$0" .sh).trace"
    BASH_XTRACEFD=$E2E_TRACE
    PS4='+ $EPOCHREALTIME ${FUNCNAME[0]:-main}: '
    set -x
    E2E_DIR=$(mktemp -d /tmp/plumo-e2e-XXXXXX)
    cp -a "$PLUMO_PROGRAM_DIR" "$E2E_DIR/plumo"
    # In a sanitizer build every report of the program and of what it starts, whichever
    # user runs it, lands here, named after the program; the teardown fails on any.
    E2E_REPORTS=$E2E_DIR/sanitizer-reports
    mkdir -m 1777 "$E2E_REPORTS"
    export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}log_path=$E2E_REPORTS/report:log_exe_name=1
    # The sound process notes here what it is asked to play; she asks for her greeting sound
    # right after her first frame. Whichever user runs her may write it.
    export PLUMO_SOUND_TRACE=$E2E_DIR/sound.trace
    install -m 666 /dev/null "$PLUMO_SOUND_TRACE"
    unset DISPLAY
    # A script may ask for a larger display (E2E_DISPLAY_SIZE, as Xvfb's WxHxD).
    plumo_start_virtual_display "${E2E_DISPLAY_SIZE:-800x600x24}" "${1:-}"
    trap e2e_teardown EXIT  # the display set its own
    if [ "${1:-}" != bare ]; then
        # She looks for a tray once, at her start: icewm's must be there by then. On a busy
        # machine icewm now and then ends at once, finding no display ("Can't open display"),
        # although the display answers other clients: then it is started once more.
        e2e_wait_for 20 e2e_tray_manager_up_or_ended
        if ! e2e_tray_manager_up && ! kill -0 "$PLUMO_WM_PID" 2>/dev/null; then
            echo "note: $(e2e_window_manager_state) before its tray came up; starting it once more"
            icewm >/dev/null 2>&1 &
            PLUMO_WM_PID=$!
        fi
        e2e_wait_for 20 e2e_tray_manager_up || e2e_fatal "icewm's tray did not come up within 20 seconds ($(e2e_window_manager_state))"
    fi
}
e2e_tray_manager_up_or_ended() { e2e_tray_manager_up || ! kill -0 "$PLUMO_WM_PID" 2>/dev/null; }

# Whether icewm still runs, or how it ended.
e2e_window_manager_state() {
    local status=0
    if kill -0 "$PLUMO_WM_PID" 2>/dev/null; then
        echo "icewm runs"
    else
        wait "$PLUMO_WM_PID" || status=$?
        echo "icewm ended with status $status"
    fi
}

# icewm's tray has taken the tray selection: the window that holds it, a child of the root
# window, exists.
e2e_tray_manager_up() { xwininfo -root -children 2>/dev/null | grep -q '"YXTrayProxy"'; }

# Runs from the EXIT trap: every step runs, whatever has already gone. A sanitizer report
# ends the test with status 86, which no second run may hide.
e2e_teardown() {
    set +e
    local pids=() reported=""
    if [ -n "${E2E_DIR:-}" ]; then
        mapfile -t pids < <(e2e_program_pids)
        if [ ${#pids[@]} -gt 0 ]; then kill "${pids[@]}" 2>/dev/null; fi
        e2e_wait_for 10 e2e_programs_ended
    fi
    plumo_stop_virtual_display
    if [ -n "${E2E_REPORTS:-}" ] && [ -n "$(ls -A "$E2E_REPORTS" 2>/dev/null)" ]; then
        for report in "$E2E_REPORTS"/*; do
            # A fault report fails; other output (a note on a thread ending during the
            # leak check) is only shown.
            if grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:' "$report"; then
                echo "FAILED: sanitizer report $(basename "$report")"
                reported=1
            else
                echo "sanitizer note $(basename "$report")"
            fi
            sed 's/^/  /' "$report"
        done
    fi
    if [ -n "${E2E_DIR:-}" ]; then rm -rf "$E2E_DIR"; fi
    if [ -n "$reported" ]; then exit 86; fi
}

# The processes running a program from the scratch folder (the copied or installed one).
e2e_program_pids() {
    local process
    for process in /proc/[0-9]*; do
        case "$(readlink "$process/exe" 2>/dev/null)" in
        "$E2E_DIR"/*) echo "${process#/proc/}" ;;
        esac
    done
    return 0
}
e2e_programs_ended() { test -z "$(e2e_program_pids)"; }

# Starts the companion and waits for its first frame; sets PLUMO_PID and WID.
e2e_start_plumo() {
    "$E2E_DIR/plumo/plumo" >"$E2E_DIR/plumo.log" 2>&1 &
    PLUMO_PID=$!
    e2e_wait_companion
}

# Waits for the companion's window (168 x 93), placed by the window manager, and for her
# first frame on the screen: right after it she starts her greeting sound, which the sound
# process notes in its trace ("exit no playback" where this machine plays no sound). Sets WID.
e2e_wait_companion() {
    e2e_wait_for 20 e2e_companion_mapped || e2e_fatal "the companion window did not appear within 20 seconds"
    e2e_wait_for 20 e2e_greeting_sound_started ||
        e2e_fatal "no greeting sound within 20 seconds: her first frame did not reach the screen"
}
e2e_companion_mapped() { WID=$(e2e_companion_windows | head -n 1) && test -n "$WID"; }
e2e_greeting_sound_started() {
    grep -qE ' (command open .*/msg\.mp3|exit no playback)$' "$PLUMO_SOUND_TRACE"
}

# A line of her standard error (the tick's lines with QT_LOGGING_RULES="plumo.tick.info=true")
# matches the extended regular expression $1.
e2e_log_has() { grep -qE "$1" "$E2E_DIR/plumo.log"; }

# The visible windows of 168 x 93 pixels.
e2e_companion_windows() {
    e2e_windows_sized 168 93 | cut -d' ' -f1
}

# The visible windows of the program of $1 x $2 pixels, one "id x y" line each.
e2e_windows_sized() {
    local id
    for id in $(xdotool search --onlyvisible --class plumo 2>/dev/null); do
        eval "$(xdotool getwindowgeometry --shell "$id")"
        [ "$WIDTH" = "$1" ] && [ "$HEIGHT" = "$2" ] && echo "$id $X $Y"
    done
    return 0
}

# The visible settings window (210 x 258), if any.
e2e_settings_window() {
    e2e_windows_sized 210 258 | head -n 1 | cut -d' ' -f1
}

# Sets X and Y to the window's position on the screen.
e2e_window_position() {
    eval "$(xdotool getwindowgeometry --shell "$WID")"
}

# The colour of one screen pixel, as "srgb(r,g,b)".
e2e_pixel() {
    import -window root "$E2E_DIR/screen.png"
    convert "$E2E_DIR/screen.png" -format "%[pixel:p{$1,$2}]" info:- | sed 's/srgba\?(\([0-9]*,[0-9]*,[0-9]*\).*/srgb(\1)/'
}

e2e_save_screenshot() {
    mkdir -p "$PLUMO_ARTIFACT_DIR"
    import -window root "$PLUMO_ARTIFACT_DIR/$1"
    echo "screenshot: $PLUMO_ARTIFACT_DIR/$1"
}

e2e_check() {  # description, then a command that must succeed
    local what=$1
    shift
    if "$@"; then
        echo "ok: $what"
    else
        echo "FAILED: $what"
        e2e_trace_tail 25
        E2E_FAILURES=$((E2E_FAILURES + 1))
    fi
}

e2e_fatal() {
    echo "FAILED: $*"
    e2e_show_what_happened
    exit 1
}

# After a failure: the program's output and the timed trace of the last steps.
e2e_show_what_happened() {
    { set +x; } 2>/dev/null
    [ -f "${E2E_DIR:-}/plumo.log" ] && sed 's/^/  plumo: /' "$E2E_DIR/plumo.log"
    e2e_trace_tail 40
}

# The last $1 lines of the timed trace, to tell a slow display from a wrong result.
e2e_trace_tail() {
    local trace
    trace="$PLUMO_ARTIFACT_DIR/$(basename "$0" .sh).trace"
    if [ -f "$trace" ]; then tail -n "$1" "$trace" | sed 's/^/  trace: /'; fi
    return 0
}

e2e_finish() {
    if [ "$E2E_FAILURES" -gt 0 ]; then
        e2e_show_what_happened
        echo "$E2E_FAILURES check(s) failed"
        exit 1
    fi
    echo "all checks passed"
}

# Presses the left button at window point (x, y), moves by (dx, dy) and releases. $5 says
# what the press on that point does: "moves" hands the window to the window manager, which
# shows its move status (icewm's window IceStatus) from the press to the release; "stays"
# starts nothing, and once she has taken the press, the motions and the release, nothing
# more can move her.
e2e_drag() {
    local x=$1 y=$2 dx=$3 dy=$4 expect=$5 i taken
    e2e_window_position
    local x0=$((X + x)) y0=$((Y + y))
    e2e_move_pointer "$x0" "$y0"
    taken=$(e2e_user_time)
    xdotool mousedown 1
    if [ "$expect" = moves ]; then
        e2e_wait_for 10 e2e_window_manager_moving || e2e_fatal "a press at ($x,$y) of her window started no move"
    else
        e2e_wait_for 10 e2e_user_time_changed "$taken" || e2e_fatal "her window did not take the press at ($x,$y)"
    fi
    for i in 1 2 3 4 5; do
        e2e_move_pointer $((x0 + dx * i / 5)) $((y0 + dy * i / 5))
    done
    xdotool mouseup 1
    if [ "$expect" = moves ]; then
        e2e_wait_for 10 e2e_window_manager_still || e2e_fatal "the window manager's move did not end at the release"
    else
        e2e_round_trip "$x" "$y"
    fi
}

# A round trip through her event loop: a middle click at window point (x, y), the girl
# picture unless given, where it does nothing, reaches her after all she was sent or did
# before; Qt stamps her user time with it.
e2e_round_trip() {
    local taken
    e2e_window_position
    e2e_move_pointer $((X + ${1:-135})) $((Y + ${2:-60}))
    taken=$(e2e_user_time)
    xdotool click 2
    e2e_wait_for 10 e2e_user_time_changed "$taken" || e2e_fatal "her window did not take a middle click"
}

# icewm shows its window IceStatus, a child of the root window, while it moves a window.
e2e_window_manager_moving() { test "$(e2e_move_status)" = moving; }
e2e_window_manager_still() { test "$(e2e_move_status)" = still; }
# "moving", "still", or nothing while windows come and go under the question.
e2e_move_status() {
    local children id
    children=$(xwininfo -root -children 2>/dev/null) || return 0
    id=$(sed -n 's/^ *\(0x[0-9a-f]*\) "IceStatus".*/\1/p' <<<"$children" | head -n 1)
    if [ -z "$id" ]; then
        echo still
        return 0
    fi
    case "$(xwininfo -id "$id" 2>/dev/null)" in
    *"Map State: IsViewable"*) echo moving ;;
    *"Map State: Is"*) echo still ;;
    esac
    return 0
}

# The time stamp of the latest press her window took: Qt sets it, on the window that
# _NET_WM_USER_TIME_WINDOW names where the window manager wants one, before the press
# reaches her widgets.
e2e_user_time() {
    local holder
    holder=$(xprop -id "$WID" _NET_WM_USER_TIME_WINDOW | sed -n 's/.*window id # //p')
    xprop -id "${holder:-$WID}" _NET_WM_USER_TIME | sed -n 's/.* = //p'
}
e2e_user_time_changed() { test "$(e2e_user_time)" != "$1"; }

# The companion's tray icon: its visible window in the notification area (small).
e2e_tray_icon() {
    local id
    for id in $(xdotool search --onlyvisible --class plumo 2>/dev/null); do
        eval "$(xdotool getwindowgeometry --shell "$id")"
        [ "$WIDTH" -le 48 ] && [ "$HEIGHT" -le 48 ] && echo "$id" && return 0
    done
    return 0
}

# Waits for the tray icon, which she docks only after her first frame (slow on a busy
# machine), and sets ICON to it.
e2e_wait_tray_icon() {
    e2e_wait_for 20 e2e_tray_icon_docked || e2e_fatal "no tray icon docked within 20 seconds"
}
e2e_tray_icon_docked() { ICON=$(e2e_tray_icon) && test -n "$ICON"; }

# Visible windows of the program that are neither the companion nor the tray icon
# (menus, tooltips), one "id x y width height" line each.
e2e_popups() {
    local id
    for id in $(xdotool search --onlyvisible --class plumo 2>/dev/null); do
        eval "$(xdotool getwindowgeometry --shell "$id")"
        { [ "$WIDTH" = 168 ] && [ "$HEIGHT" = 93 ]; } && continue
        { [ "$WIDTH" -le 48 ] && [ "$HEIGHT" -le 48 ]; } && continue
        echo "$id $X $Y $WIDTH $HEIGHT"
    done
    return 0
}

# Clicks her bubble and checks that the answer menu opens; saves the screen as $1. Sets
# mx, my, mw and mh to the menu's rectangle, and ends the script when no menu came.
e2e_open_answer_menu() {
    e2e_window_position
    e2e_click_at $((X + 50)) $((Y + 50))
    e2e_check "a click on the bubble opens the answer menu" e2e_wait_menu
    e2e_save_screenshot "$1"
    [ -n "$MENU" ] || e2e_finish
    read -r _ mx my mw mh <<<"$MENU"
}

# Waits up to 10 seconds for one of her pop-up menus to show, drawn; sets MENU to its
# "id x y width height".
e2e_wait_menu() {
    e2e_wait_for 10 e2e_menu_shown
}
e2e_menu_shown() {
    local id x y w h
    MENU=""
    while read -r id x y w h; do
        [ -n "$id" ] || continue
        xwininfo -id "$id" 2>/dev/null | grep -q "Override Redirect State: yes" || continue
        xprop -id "$id" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q _NET_WM_WINDOW_TYPE_TOOLTIP && continue
        if e2e_framed "$id" "$w" "$h"; then
            MENU="$id $x $y $w $h"
            return 0
        fi
    done < <(e2e_popups)
    return 1
}
e2e_no_menu() { ! e2e_menu_shown; }

# Window $1 ($2 x $3 pixels) is drawn with a frame: one colour all along its edge, another
# just inside. Not yet drawn it shows what lies below it, the desktop or her picture.
e2e_framed() {
    local id=$1 w=$2 h=$3 points="" point pixels=()
    import -window "$id" "$E2E_DIR/framed.png" 2>/dev/null || return 1
    # The corners and the middles of the sides, then the point just inside the top left corner.
    for point in 0,0 $((w / 2)),0 $((w - 1)),0 0,$((h / 2)) $((w - 1)),$((h / 2)) \
        0,$((h - 1)) $((w / 2)),$((h - 1)) $((w - 1)),$((h - 1)) 1,1; do
        points+="%[pixel:p{$point}] "
    done
    read -r -a pixels < <(convert "$E2E_DIR/framed.png" -format "$points" info:- 2>/dev/null; echo)
    [ ${#pixels[@]} -eq 9 ] || return 1
    for point in 1 2 3 4 5 6 7; do [ "${pixels[point]}" = "${pixels[0]}" ] || return 1; done
    [ "${pixels[8]}" != "${pixels[0]}" ]
}

# Clicks a button at the centre of a window. The caller waits for what the click does.
e2e_click_window() {
    local id=$1 button=${2:-1}
    eval "$(xdotool getwindowgeometry --shell "$id")"
    e2e_click_at $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) "$button"
}

# Clicks button $3 (the left one unless given) at screen point (x, y), the pointer coming
# from eight pixels up and left, a point of the same window: a motion that far from the last
# press tells her toolkit that the click is no second half of a double click, however soon
# after a click at the same point it comes (the tray icon takes a right double click for
# nothing).
e2e_click_at() {
    e2e_move_pointer $(($1 - 8)) $(($2 - 8))
    e2e_move_pointer "$1" "$2"
    xdotool click "${3:-1}"
}

# Moves the pointer to screen point (x, y) and waits until it is there.
e2e_move_pointer() {
    xdotool mousemove "$1" "$2"
    e2e_wait_for 10 e2e_pointer_at "$1" "$2" || e2e_fatal "the pointer did not reach ($1,$2)"
}
e2e_pointer_at() { [[ "$(xdotool getmouselocation)" == "x:$1 y:$2 "* ]]; }

# Waits up to $1 seconds for a command to succeed, trying it every 50 ms.
e2e_wait_for() {
    local seconds=$1 deadline
    shift
    deadline=$((${EPOCHREALTIME//[.,]/} + seconds * 1000000))
    until "$@"; do
        [ "${EPOCHREALTIME//[.,]/}" -lt "$deadline" ] || return 1
        sleep 0.05
    done
}
