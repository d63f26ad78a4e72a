#!/usr/bin/env bash
# Builds Plumo with its tests and runs every test: unit tests, widget tests on the
# offscreen platform, and end-to-end tests of the program in Xvfb with icewm.
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"

plumo_ensure_packages "${PLUMO_BUILD_PACKAGES[@]}" "${PLUMO_DISPLAY_PACKAGES[@]}" \
    "${PLUMO_TEST_PACKAGES[@]}"
plumo_build
cd "$PLUMO_BUILD"
ctest --output-on-failure --timeout 300 "$@"
