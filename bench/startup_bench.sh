#!/usr/bin/env bash
# Start-up benchmark: time from process start to the first painted frame, and peak
# resident memory, of the companion (plumo) against two baselines measured the same way on
# a virtual display (Xvfb with icewm): a bare Qt widget window of the same kind and size,
# and that window drawing her greeting in her bubble's face (the fair floor: no start of
# hers can draw less).
#
#   bench/startup_bench.sh [--runs N] [build-folder]
#
# The build folder defaults to $PLUMO_BUILD, else build/; it must be configured with the
# benchmarks on. Each program runs N times (default 10), alternating, after one warm-up
# run each. Prints the medians, the ratios plumo / bare and plumo / text (budget against the
# text window: at most 1.08 first frame and 1.10 peak memory), and the peak RSS of the
# sound process while the start-up sound plays (one extra run).
# Exit status 1 when a run fails to paint within 10 s or ends early.
set -euo pipefail
# shellcheck source=bench/bench_lib.sh
source "$(dirname "$0")/bench_lib.sh"

runs=${PLUMO_BENCH_RUNS:-10}
while [ $# -gt 0 ]; do
    case $1 in
    --runs)
        runs=${2:?--runs needs a number}
        shift 2
        ;;
    -h | --help)
        sed -n '2,15s/^# \{0,1\}//p' "$0"
        exit 0
        ;;
    -*)
        echo "startup_bench: unknown option $1" >&2
        exit 2
        ;;
    *)
        PLUMO_BUILD=$1
        shift
        ;;
    esac
done
bench_require_positive runs "$runs"
bench_set_up
plumo_build program first_frame bare_window text_window

first_frame="$PLUMO_BUILD/bench/companion/first_frame"
root_colour=${PLUMO_ROOT_COLOUR:-#2f5d8a}
export PLUMO_ROOT_COLOUR=$root_colour

# The programs run from a scratch folder: a pristine copy of the program folder, copied
# again before every companion run so that each one starts from the same files.
scratch=$(mktemp -d /tmp/plumo-startup-XXXXXX)
cp -a "$PLUMO_BUILD/plumo" "$scratch/pristine"
cp -a "$PLUMO_BUILD/bench/companion/bare_window" "$scratch/bare_window"
cp -a "$PLUMO_BUILD/bench/companion/text_window" "$scratch/text_window"

cleanup() {
    plumo_stop_virtual_display
    rm -rf "$scratch"
}

# The companion allows one copy per user. Each run has a runtime folder of its own, which
# holds her single-instance guard, so a companion running elsewhere on this machine neither
# blocks a run nor is blocked by it; a private network namespace does the same for the
# abstract name she takes where no runtime folder serves.
isolate=()
if unshare --net true 2>/dev/null; then
    isolate=(unshare --net)
fi
fresh_runtime_folder() {
    rm -rf "$scratch/runtime"
    mkdir -m 700 "$scratch/runtime"
}
runtime=(env XDG_RUNTIME_DIR="$scratch/runtime")
fresh_runtime_folder

# measure bare|text|plumo: one run; sets ms (first frame), change_ms (first change) and kb.
measure() {
    local program output
    if [ "$1" = plumo ]; then
        rm -rf "$scratch/run"
        cp -a "$scratch/pristine" "$scratch/run"
        program="$scratch/run/plumo"
        fresh_runtime_folder
    else
        program="$scratch/$1_window"
    fi
    if ! output=$("${runtime[@]}" "${isolate[@]}" "$first_frame" --root-colour "$root_colour" \
        --settle-ms 1000 --timeout-ms 10000 -- "$program" 2>"$scratch/stderr"); then
        echo "startup_bench: the $1 run failed:" >&2
        cat "$scratch/stderr" >&2
        exit 1
    fi
    ms=$(sed -n 's/.*first_frame_ms=\([0-9.]*\).*/\1/p' <<<"$output")
    change_ms=$(sed -n 's/.*first_change_ms=\([0-9.]*\).*/\1/p' <<<"$output")
    kb=$(sed -n 's/.*vmhwm_kb=\([0-9]*\).*/\1/p' <<<"$output")
    if [ -z "$ms" ] || [ -z "$change_ms" ] || [ -z "$kb" ] || [ "$kb" -le 0 ]; then
        echo "startup_bench: unreadable measurement of $1: $output" >&2
        exit 1
    fi
}

median() {
    tr ' ' '\n' <<<"$*" | grep . | sort -g |
        awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

unset DISPLAY
export QT_QPA_PLATFORM=xcb
plumo_start_virtual_display 1024x768x24
trap cleanup EXIT
screen=$(xdpyinfo | awk '/dimensions:/ { print $2 }')

mb() { awk -v kb="$1" 'BEGIN { printf "%.1f", kb / 1024 }'; }

echo "Start-up on Xvfb $screen with icewm, $runs runs of each, alternating"
echo "(first frame: the first look of the screen centre that stays 40 ms; first change: any)"
measure bare
printf 'warm-up     bare  %7.1f ms (first change %7.1f ms) %6s MB\n' "$ms" "$change_ms" "$(mb "$kb")"
measure text
printf 'warm-up     text  %7.1f ms (first change %7.1f ms) %6s MB\n' "$ms" "$change_ms" "$(mb "$kb")"
measure plumo
printf 'warm-up     plumo %7.1f ms (first change %7.1f ms) %6s MB\n' "$ms" "$change_ms" "$(mb "$kb")"

declare -A values
for run in $(seq 1 "$runs"); do
    for program in bare text plumo; do
        measure "$program"
        values[$program.ms]+=" $ms" values[$program.change_ms]+=" $change_ms"
        values[$program.kb]+=" $kb"
        printf 'run %3d     %-5s %7.1f ms (first change %7.1f ms) %6s MB\n' "$run" "$program" \
            "$ms" "$change_ms" "$(mb "$kb")"
    done
done

# The start-up sound plays in the sound process, plumo-sound, started after the first frame
# and ending when idle: one more companion run, long enough for the sound, watches its peak.
sound_process_kb=0
measure_sound_process() {
    rm -rf "$scratch/run"
    cp -a "$scratch/pristine" "$scratch/run"
    fresh_runtime_folder
    "${runtime[@]}" "${isolate[@]}" "$first_frame" --root-colour "$root_colour" --settle-ms 3000 \
        --timeout-ms 10000 -- "$scratch/run/plumo" >/dev/null 2>"$scratch/stderr" &
    local runner=$! pid hwm
    while kill -0 "$runner" 2>/dev/null; do
        for pid in $(pgrep -f "^$scratch/run/plumo-sound( |$)" || true); do
            hwm=$(awk '/^VmHWM:/ { print $2 }' "/proc/$pid/status" 2>/dev/null || true)
            if [ -n "$hwm" ] && [ "$hwm" -gt "$sound_process_kb" ]; then sound_process_kb=$hwm; fi
        done
        sleep 0.02
    done
    wait "$runner" || true
}
measure_sound_process
printf 'sound run   plumo-sound peak RSS %s MB (while the start-up sound plays)\n' \
    "$(mb "$sound_process_kb")"

awk -v bm="$(median "${values[bare.ms]}")" -v pm="$(median "${values[plumo.ms]}")" \
    -v tm="$(median "${values[text.ms]}")" -v tc="$(median "${values[text.change_ms]}")" \
    -v bc="$(median "${values[bare.change_ms]}")" -v pc="$(median "${values[plumo.change_ms]}")" \
    -v bk="$(median "${values[bare.kb]}")" -v pk="$(median "${values[plumo.kb]}")" \
    -v tk="$(median "${values[text.kb]}")" -v sk="$sound_process_kb" 'BEGIN {
    time_budget = 1.08
    memory_budget = 1.10
    time_ratio = pm / tm
    memory_ratio = pk / tk
    print ""
    printf "%-18s %14s %14s %12s\n", "median", "first frame", "first change", "peak RSS"
    printf "%-18s %11.1f ms %11.1f ms %9.1f MB\n", "bare Qt window", bm, bc, bk / 1024
    printf "%-18s %11.1f ms %11.1f ms %9.1f MB\n", "text window", tm, tc, tk / 1024
    printf "%-18s %11.1f ms %11.1f ms %9.1f MB\n", "plumo", pm, pc, pk / 1024
    printf "%-18s %14.2f %14s %12.2f\n", "ratio plumo/bare", pm / bm, "", pk / bk
    printf "%-18s %14.2f %14s %12.2f   (budget %.2f and %.2f)\n", "ratio plumo/text",
        time_ratio, "", memory_ratio, time_budget, memory_budget
    if (sk > 0) printf "%-18s %44.1f MB   (plus plumo: %.1f MB)\n", "plumo-sound peak", sk / 1024, (sk + pk) / 1024
    else print "plumo-sound was not seen running"
    if (time_ratio > time_budget) print "start-up time is over budget"
    if (memory_ratio > memory_budget) print "peak memory is over budget"
}'
