#!/usr/bin/env bash
# Soak benchmark: the companion runs a long while on a virtual display (Xvfb with icewm)
# with her clock sped up by libfaketime, so that a day or more passes for her, with memo
# reminders falling due all through it. Nothing may pile up meanwhile: her resident memory
# and her open file descriptors at the end against after start-up, and every reminder
# announced in its own second.
#
#   bench/soak_bench.sh [--seconds N] [--speed X] [build-folder]
#
# The build folder defaults to $PLUMO_BUILD, else build/. She runs N real seconds (default
# 1800) at X times the speed of the clock (default 50: 30 minutes make 25 hours for her;
# at most 60, so that even a stall of one real second leaves a gap her tick still covers
# second by second). Her clock starts at 08:00; a reminder falls due every 15 minutes of
# her time. Her sounds play into a private PulseAudio null sink when pulseaudio is
# installed. RSS and descriptors are sampled every minute. Her output (a line for each
# tick) and the sound process's trace are kept in the build folder as soak_bench.log and
# soak_bench_sound.log.
# Budget: RSS at the end at most 1 MB above RSS after start-up, no more open descriptors
# at the end than after start-up, every reminder announced. Exit status 1 when one is
# broken or she ends early.
set -euo pipefail
# shellcheck source=bench/bench_lib.sh
source "$(dirname "$0")/bench_lib.sh"

seconds=1800
speed=50
while [ $# -gt 0 ]; do
    case $1 in
    --seconds)
        seconds=${2:?--seconds needs a number}
        shift 2
        ;;
    --speed)
        speed=${2:?--speed needs a number}
        shift 2
        ;;
    -h | --help)
        sed -n '2,20s/^# \{0,1\}//p' "$0"
        exit 0
        ;;
    -*)
        echo "soak_bench: unknown option $1" >&2
        exit 2
        ;;
    *)
        PLUMO_BUILD=$1
        shift
        ;;
    esac
done
bench_require_positive seconds "$seconds"
bench_require_positive "times the speed" "$speed"
if [ "$speed" -gt 60 ]; then
    echo "soak_bench: choose a speed of 60 or less, not $speed" >&2
    exit 2
fi
bench_set_up
plumo_ensure_packages libfaketime sqlite3 procps
plumo_build program

faketime_lib=""
for candidate in /usr/lib/*/faketime/libfaketime.so.1 /usr/lib/faketime/libfaketime.so.1; do
    [ -r "$candidate" ] && faketime_lib=$candidate && break
done
[ -n "$faketime_lib" ] || { echo "soak_bench: libfaketime.so.1 not found" >&2; exit 1; }

scratch=$(mktemp -d /tmp/plumo-soak-XXXXXX)
plumo_pid="" pulse_pid=""
cleanup() {
    set +e
    [ -n "$plumo_pid" ] && kill "$plumo_pid" 2>/dev/null
    [ -n "$pulse_pid" ] && kill "$pulse_pid" 2>/dev/null
    [ -f "$scratch/plumo.log" ] && cp "$scratch/plumo.log" "$PLUMO_BUILD/soak_bench.log"
    [ -f "$scratch/sound.trace" ] && cp "$scratch/sound.trace" "$PLUMO_BUILD/soak_bench_sound.log"
    plumo_stop_virtual_display
    rm -rf "$scratch"
}
trap cleanup EXIT
cp -a "$PLUMO_BUILD/plumo" "$scratch/plumo"

# Her time: the start, how much of it the run covers, and the reminders in it. The first
# falls due once she has settled (settle seconds and a margin), the last well before the
# end, each at :30 of its minute, off the full hours she chimes.
settle=15
start_text="2024-03-05 08:00:00"
start=$(date -d "$start_text" +%s)
covered=$((seconds * speed))
interval=900
first=$((start + ((settle + 10) * speed + 59) / 60 * 60 + 30))
last=$((start + covered - 20 * speed))
db="$scratch/plumo/config/d.ini"
expected="$scratch/expected.txt"
: >"$expected"
count=0
for ((due = first; due <= last; due += interval)); do
    count=$((count + 1))
    when=$(date -d "@$due" '+%Y-%m-%d %H:%M:%S')
    title=$(printf 'soak-%03d' "$count")
    "$scratch/plumo/Notavo" --db "$db" add --at "$when" "$title" >/dev/null ||
        { echo "soak_bench: Notavo could not add $title at $when" >&2; exit 1; }
    printf '%s %s\n' "$when" "$title" >>"$expected"
done
[ "$count" -gt 0 ] || { echo "soak_bench: the run is too short for any reminder" >&2; exit 2; }

# A runtime folder of her own holds her single-instance guard, so that a companion running
# elsewhere on this machine does not stop this one; a private network namespace does the
# same for the abstract name she takes where no runtime folder serves.
isolate=()
if unshare --net true 2>/dev/null; then isolate=(unshare --net); fi
mkdir -m 700 "$scratch/runtime"

# Her sounds play into a private PulseAudio null sink, so that the sound process comes and
# goes all through the run; without a sound server it finds no way to play at the first
# sound and she starts it no more.
sound_note="none (pulseaudio is not installed)"
if command -v pulseaudio >/dev/null; then
    mkdir "$scratch/pulse"
    XDG_RUNTIME_DIR="$scratch/pulse" HOME="$scratch/pulse" pulseaudio -n --daemonize=no \
        --exit-idle-time=-1 --use-pid-file=no --log-level=error \
        --load="module-native-protocol-unix auth-anonymous=1 socket=$scratch/pulse/native" \
        --load="module-null-sink sink_name=soak" >"$scratch/pulse.log" 2>&1 &
    pulse_pid=$!
    for _ in $(seq 1 50); do [ -S "$scratch/pulse/native" ] && break; sleep 0.1; done
    if [ -S "$scratch/pulse/native" ]; then
        export PULSE_SERVER="unix:$scratch/pulse/native"
        sound_note="into a PulseAudio null sink"
    else
        sound_note="none (pulseaudio did not start: $(head -c 200 "$scratch/pulse.log"))"
    fi
fi
export PLUMO_SOUND_TRACE="$scratch/sound.trace"

unset DISPLAY
export QT_QPA_PLATFORM=xcb
plumo_start_virtual_display 1024x768x24
trap cleanup EXIT

# The monotonic clock is sped up too (libfaketime's default): Qt's timers then run on her
# time, one tick for each of her seconds, as over a real day. With the monotonic clock left
# real, libfaketime still shortens every poll() timeout by the speed, and the event loop
# would wake dozens of times for each real second to wait for the next tick.
log="$scratch/plumo.log"
LD_PRELOAD=$faketime_lib FAKETIME="@$start_text x$speed" \
    QT_LOGGING_RULES="plumo.tick=true" QT_FORCE_STDERR_LOGGING=1 XDG_RUNTIME_DIR="$scratch/runtime" \
    "${isolate[@]}" "$scratch/plumo/plumo" >"$log" 2>&1 &
plumo_pid=$!

alive() {
    kill -0 "$plumo_pid" 2>/dev/null && return 0
    echo "soak_bench: the companion ended early; the end of her output:" >&2
    grep -v ' tick ' "$log" | tail -n 40 >&2
    exit 1
}
rss_kb() { awk '/^VmRSS:/ { print $2 }' /proc/"$plumo_pid"/status; }
fd_targets() { find /proc/"$1"/fd -mindepth 1 -maxdepth 1 -printf '%l\n' 2>/dev/null; }
# Her open descriptors by what they refer to. A running sound process shares pipes with her
# and she holds a pidfd for it: those are left out, so that only what stays is counted.
fd_list() {
    local children child shared pidfds
    children=$(pgrep -P "$plumo_pid" || true)
    if [ -z "$children" ]; then
        fd_targets "$plumo_pid" | sort
        return
    fi
    shared=$(for child in $children; do fd_targets "$child"; done | grep '^pipe:' | sort -u)
    pidfds=$(echo "$children" | wc -l)
    fd_targets "$plumo_pid" | grep -vxF -e "${shared:-none}" |
        awk -v skip="$pidfds" '$0 == "anon_inode:[pidfd]" && skip > 0 { skip--; next } { print }' |
        sort
}
fd_count() { fd_list | wc -l; }
announcements() { grep -c ' announce ' "$log" || true; }
ticks() { grep -c ' tick ' "$log" || true; }
# A quiet moment for the figures: no sound process running, waiting 10 s at most.
without_sound_process() {
    local _
    for _ in $(seq 1 50); do
        pgrep -P "$plumo_pid" >/dev/null || return 0
        sleep 0.2
    done
}
mb() { awk -v kb="$1" 'BEGIN { printf "%.2f", kb / 1024 }'; }

sleep "$settle"
alive
without_sound_process
rss0=$(rss_kb) fds0=$(fd_count)
fd_list >"$scratch/fds-start.txt"
printf 'soak: %s s at x%s (%s h of her time from %s), %s reminders\n' "$seconds" "$speed" \
    "$(awk -v s="$covered" 'BEGIN { printf "%.1f", s / 3600 }')" "$start_text" "$count"
sample() { printf '%8s %10s %5s %8s %10s\n' "$@"; }
sample "real s" "RSS MB" "fds" "ticks" "announced"
sample "$settle" "$(mb "$rss0")" "$fds0" "$(ticks)" "$(announcements)"

elapsed=$settle
while [ "$elapsed" -lt "$seconds" ]; do
    step=$((seconds - elapsed < 60 ? seconds - elapsed : 60))
    sleep "$step"
    elapsed=$((elapsed + step))
    alive
    sample "$elapsed" "$(mb "$(rss_kb)")" "$(fd_count)" "$(ticks)" "$(announcements)"
done
without_sound_process
rss1=$(rss_kb) fds1=$(fd_count)
fd_list >"$scratch/fds-end.txt"
kill "$plumo_pid" 2>/dev/null || true
wait "$plumo_pid" 2>/dev/null || true
plumo_pid=""

# Announced: "announce YYYY-MM-DD HH:MM:SS item ID: TITLE" for the second it fell due in.
sed -n 's/.*announce \([0-9-]* [0-9:]*\) item [0-9]*: \(.*\)$/\1 \2/p' "$log" |
    sort >"$scratch/announced.txt"
announced=$(comm -12 "$expected" "$scratch/announced.txt" | wc -l)
chimes=$(grep -c ' chime ' "$log" || true)
advice=$(grep -c ' late-night advice ' "$log" || true)
# A tick more than a minute of hers after the one before (a stall of the machine or of hers
# longer than 60 / speed real seconds) takes the overdue count instead of announcing.
gaps=$(sed -n 's/.* gap of \([0-9]*\) s before \(.*\)$/\1 s before \2/p' "$log" | paste -sd ';' -)
last_tick=$(sed -n 's/.* tick \([0-9-]* [0-9:]*\).*/\1/p' "$log" | tail -n 1)
# Seconds each tick covered: one for a tick in time, more for a late one.
tick_stats=$(sed -n 's/.* tick .* covers \([0-9]*\) s$/\1/p' "$log" | awk -v real="$seconds" '
    { n++; sum += $1; if ($1 > max) max = $1; if ($1 > 1) late++ }
    END { printf "%.1f a real second, %.2f s of hers each on average, at most %d; %d of %d late",
              n / real, n ? sum / n : 0, max, late, n }')

echo
printf 'her time covered     %s to %s (her last tick)\n' "$start_text" "$last_tick"
printf 'ticks                %s\n' "$tick_stats"
printf 'RSS                  %s MB after start-up, %s MB at the end (%+d kB; budget +1024 kB)\n' \
    "$(mb "$rss0")" "$(mb "$rss1")" $((rss1 - rss0))
printf 'open descriptors     %s after start-up, %s at the end (budget: no growth)\n' "$fds0" "$fds1"
printf 'reminders            %s of %s announced in their second\n' "$announced" "$count"
printf 'hourly chimes        %s; late-night advice %s times\n' "$chimes" "$advice"
printf 'gaps over a minute   %s\n' "${gaps:-none}"
printf 'sound                %s: %s sound processes started, %s sounds played\n' "$sound_note" \
    "$(grep -c ' started$' "$scratch/sound.trace" 2>/dev/null || true)" \
    "$(grep -c ' playing$' "$scratch/sound.trace" 2>/dev/null || true)"

status=0
if [ $((rss1 - rss0)) -gt 1024 ]; then
    echo "FAILED: her RSS grew by more than 1 MB"
    status=1
fi
if [ "$fds1" -gt "$fds0" ]; then
    echo "FAILED: she holds more descriptors at the end; new ones:"
    comm -13 "$scratch/fds-start.txt" "$scratch/fds-end.txt" | sed 's/^/  /'
    status=1
fi
if [ "$announced" -lt "$count" ]; then
    echo "FAILED: reminders not announced in their second:"
    comm -23 "$expected" "$scratch/announced.txt" | sed 's/^/  /'
    status=1
fi
exit "$status"
