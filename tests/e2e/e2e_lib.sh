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
xdotool() { timeout 10 "$XDOTOOL" "$@"; }
xprop() { timeout 10 "$XPROP" "$@"; }
import() { timeout 20 "$IMPORT" "$@"; }

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
    unset DISPLAY
    plumo_start_virtual_display 800x600x24 "${1:-}"
    trap e2e_teardown EXIT  # the display set its own
}

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

# Starts the companion and waits for its window (168 x 93); sets PLUMO_PID and WID.
e2e_start_plumo() {
    "$E2E_DIR/plumo/plumo" >"$E2E_DIR/plumo.log" 2>&1 &
    PLUMO_PID=$!
    WID=""
    local i
    for i in $(seq 1 100); do
        WID=$(e2e_companion_windows | head -n 1)
        [ -n "$WID" ] && break
        sleep 0.1
    done
    [ -n "$WID" ] || e2e_fatal "the companion window did not appear"
    sleep 0.5  # first paint and the window manager's placement
}

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

# Presses the left button at window point (x, y), moves by (dx, dy) and releases.
e2e_drag() {
    local x=$1 y=$2 dx=$3 dy=$4 i
    e2e_window_position
    xdotool mousemove $((X + x)) $((Y + y))
    sleep 0.2
    xdotool mousedown 1
    sleep 0.3
    for i in 1 2 3 4 5; do
        xdotool mousemove $((X + x + dx * i / 5)) $((Y + y + dy * i / 5))
        sleep 0.1
    done
    xdotool mouseup 1
    sleep 0.5
}

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
    ICON=""
    local i
    for i in $(seq 1 150); do
        ICON=$(e2e_tray_icon)
        [ -n "$ICON" ] && return 0
        sleep 0.1
    done
    e2e_fatal "no tray icon docked within 15 seconds"
}

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

# Clicks a button at the centre of a window.
e2e_click_window() {
    local id=$1 button=${2:-1}
    eval "$(xdotool getwindowgeometry --shell "$id")"
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
    sleep 0.2
    xdotool click "$button"
    sleep 0.7
}

# Waits up to $2 seconds for a command to succeed.
e2e_wait_for() {
    local seconds=$1 i
    shift
    for i in $(seq 1 $((seconds * 10))); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}
