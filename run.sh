#!/usr/bin/env bash
# Builds Plumo and runs the companion from the program folder build/plumo/.
# Without a display it starts a virtual one (Xvfb and icewm), shows the companion
# there for a few seconds and saves a screenshot: build/screenshot.png, or with
# QT_SCALE_FACTOR=2 in the environment build/screenshot-2x.png beside it.
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"

if [ -n "${DISPLAY:-}" ]; then
    plumo_ensure_packages "${PLUMO_BUILD_PACKAGES[@]}"
else
    plumo_ensure_packages "${PLUMO_BUILD_PACKAGES[@]}" "${PLUMO_DISPLAY_PACKAGES[@]}"
fi
plumo_build program

program="$PLUMO_BUILD/plumo/plumo"
if [ -n "${DISPLAY:-}" ]; then
    exec "$program"
fi

source "$PLUMO_ROOT/scripts/virtual_display.sh"
plumo_start_virtual_display
"$program" &
pid=$!
sleep "${PLUMO_SHOW_SECONDS:-5}"
screenshot="$PLUMO_BUILD/screenshot.png"
case ${QT_SCALE_FACTOR:-1} in
1) ;;
*) screenshot="$PLUMO_BUILD/screenshot-${QT_SCALE_FACTOR}x.png" ;;
esac
import -window root "$screenshot"
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
echo "Screenshot of the companion on a virtual desktop: $screenshot"
