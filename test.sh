#!/usr/bin/env bash
# Builds Plumo with its tests and runs every test: unit tests, widget tests on the
# offscreen platform, and end-to-end tests of the program in Xvfb with icewm.
# PLUMO_SANITIZE=1 does the same in build-sanitize/ with AddressSanitizer and
# UndefinedBehaviorSanitizer (see scripts/setup.sh).
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"

plumo_ensure_packages "${PLUMO_BUILD_PACKAGES[@]}" "${PLUMO_DISPLAY_PACKAGES[@]}" \
    "${PLUMO_TEST_PACKAGES[@]}"
plumo_build
cd "$PLUMO_BUILD"
if [ "${PLUMO_SANITIZE:-0}" = 1 ]; then
    # Every report of every process, the programs the tests start included, lands in a
    # file here, named after the program and its process id; any report fails the run.
    reports=$PLUMO_BUILD/sanitizer-reports
    rm -rf "$reports"
    mkdir -p "$reports"
    export ASAN_OPTIONS=$ASAN_OPTIONS:log_path=$reports/report:log_exe_name=1
fi
status=0
ctest --output-on-failure --timeout 300 "$@" || status=$?
if [ "${PLUMO_SANITIZE:-0}" = 1 ] && [ -n "$(ls -A "$reports")" ]; then
    for report in "$reports"/*; do
        echo "=== sanitizer output: $(basename "$report") ==="
        cat "$report"
    done
    # A fault report, not a note such as a thread that ended while the leak check ran.
    if grep -lE 'ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:' "$reports"/*; then
        echo "FAILED: sanitizer reports in $reports"
        status=1
    fi
fi
exit "$status"
