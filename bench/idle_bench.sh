#!/usr/bin/env bash
# Idle benchmark: what the companion costs while she is shown and does nothing but blink,
# against a bare Qt widget window, both on the same virtual display (Xvfb with icewm) at
# the same time: processor time as a share of one core, and wake-ups a second (voluntary
# context switches of all the process's threads).
#
#   bench/idle_bench.sh [--seconds N] [build-folder]
#
# The build folder defaults to $PLUMO_BUILD, else build/; it must be configured with the
# benchmarks on. Both programs settle for 10 s after start-up (her greeting sound plays and
# the sound process ends), then are measured over N seconds (default 120).
# Budget for the companion: at most 0.05 % of a core and 2 wake-ups a second.
set -euo pipefail
# shellcheck source=bench/bench_lib.sh
source "$(dirname "$0")/bench_lib.sh"

seconds=120
while [ $# -gt 0 ]; do
    case $1 in
    --seconds)
        seconds=${2:?--seconds needs a number}
        shift 2
        ;;
    -h | --help)
        sed -n '2,11s/^# \{0,1\}//p' "$0"
        exit 0
        ;;
    -*)
        echo "idle_bench: unknown option $1" >&2
        exit 2
        ;;
    *)
        PLUMO_BUILD=$1
        shift
        ;;
    esac
done
bench_require_positive seconds "$seconds"
bench_set_up
plumo_build program bare_window

scratch=$(mktemp -d /tmp/plumo-idle-XXXXXX)
pids=()
cleanup() {
    set +e
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    plumo_stop_virtual_display
    rm -rf "$scratch"
}
trap cleanup EXIT
cp -a "$PLUMO_BUILD/plumo" "$scratch/plumo"

# A runtime folder of her own holds her single-instance guard, so that a companion running
# elsewhere on this machine does not stop this one; a private network namespace does the
# same for the abstract name she takes where no runtime folder serves.
isolate=()
if unshare --net true 2>/dev/null; then isolate=(unshare --net); fi
mkdir -m 700 "$scratch/runtime"

unset DISPLAY
export QT_QPA_PLATFORM=xcb
plumo_start_virtual_display 1024x768x24
trap cleanup EXIT

XDG_RUNTIME_DIR="$scratch/runtime" "${isolate[@]}" "$scratch/plumo/plumo" >"$scratch/plumo.log" 2>&1 &
plumo_pid=$!
pids+=("$plumo_pid")
"$PLUMO_BUILD/bench/companion/bare_window" >"$scratch/bare.log" 2>&1 &
bare_pid=$!
pids+=("$bare_pid")
sleep 10

# Processor time of all threads in nanoseconds (the scheduler's own account, finer than
# the clock ticks of /proc/PID/stat), and their voluntary context switches.
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ n += $1 } END { printf "%.0f\n", n }'; }
wakeups() { cat /proc/"$1"/task/*/status 2>/dev/null | awk '/^voluntary_ctxt_switches/ { n += $2 } END { print n + 0 }'; }
for pid in "$plumo_pid" "$bare_pid"; do
    kill -0 "$pid" 2>/dev/null || { echo "idle_bench: a program ended early" >&2; cat "$scratch"/*.log >&2; exit 1; }
done

plumo_cpu0=$(cpu_ns "$plumo_pid") plumo_wake0=$(wakeups "$plumo_pid")
bare_cpu0=$(cpu_ns "$bare_pid") bare_wake0=$(wakeups "$bare_pid")
sleep "$seconds"
plumo_cpu1=$(cpu_ns "$plumo_pid") plumo_wake1=$(wakeups "$plumo_pid")
bare_cpu1=$(cpu_ns "$bare_pid") bare_wake1=$(wakeups "$bare_pid")
report() {  # name, processor nanoseconds, wake-ups
    awk -v name="$1" -v ns="$2" -v wakes="$3" -v s="$seconds" 'BEGIN {
        printf "%-10s %8.3f %% of a core %8.2f wake-ups/s\n", name, 100 * ns / 1e9 / s, wakes / s }'
}
echo "Idle on Xvfb with icewm, measured over $seconds s after 10 s of settling"
report plumo $((plumo_cpu1 - plumo_cpu0)) $((plumo_wake1 - plumo_wake0))
report bare $((bare_cpu1 - bare_cpu0)) $((bare_wake1 - bare_wake0))
awk -v ns="$((plumo_cpu1 - plumo_cpu0))" -v wakes="$((plumo_wake1 - plumo_wake0))" -v s="$seconds" 'BEGIN {
    print "(budget for plumo: 0.050 % of a core and 2.00 wake-ups/s)"
    if (100 * ns / 1e9 / s > 0.05) print "processor time is over budget"
    if (wakes / s > 2) print "wake-ups are over budget"
}'
