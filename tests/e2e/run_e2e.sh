#!/usr/bin/env bash
# Runs one end-to-end script. Each run has a runtime folder of its own, which holds the
# program's single-instance guard, so that a copy left from another run cannot turn this
# one away; as root it also runs in a network namespace of its own, whose abstract sockets
# hold the guard of a program started as another user, whom the folder does not serve. A
# virtual display now and then drops an input event or a frame on a busy machine: a failed
# script runs once more, and both outputs are printed, so an intermittent fault stays
# visible in the log. A sanitizer report fails at once.
set -uo pipefail
script=$1
run() {
    local runtime status=0
    runtime=$(mktemp -d /tmp/plumo-runtime-XXXXXX)  # mode 700
    if [ "$(id -u)" -eq 0 ] && unshare -n true 2>/dev/null; then
        XDG_RUNTIME_DIR=$runtime unshare -n bash "$script" || status=$?
    else
        XDG_RUNTIME_DIR=$runtime bash "$script" || status=$?
    fi
    rm -rf "$runtime"
    return "$status"
}
first=$(run 2>&1)
status=$?
echo "$first"
[ "$status" -eq 0 ] && exit 0
[ "$status" -eq 86 ] && exit 1  # a sanitizer report: a fault of the program, not of the display
echo "=== $(basename "$script") failed (status $status); running it once more ==="
run
