# Shared by the benchmark scripts: the build folder, the Debian packages, a virtual display.
# shellcheck shell=bash

# Exits with status 2 unless $2 is a positive whole number; $1 names it for the message.
bench_require_positive() {
    case $2 in
    '' | *[!0-9]* | 0)
        echo "$(basename "$0" .sh): the number of $1 must be a positive number, not \"$2\"" >&2
        exit 2
        ;;
    esac
}

# Makes PLUMO_BUILD absolute when set, then reads the set-up and the virtual display helpers
# and installs what is missing.
bench_set_up() {
    if [ -n "${PLUMO_BUILD:-}" ]; then
        mkdir -p "$PLUMO_BUILD"
        PLUMO_BUILD=$(cd "$PLUMO_BUILD" && pwd)
    fi
    # shellcheck source=scripts/setup.sh
    source "$BENCH_ROOT/scripts/setup.sh"
    # shellcheck source=scripts/virtual_display.sh
    source "$BENCH_ROOT/scripts/virtual_display.sh"
    plumo_ensure_packages "${PLUMO_BUILD_PACKAGES[@]}" "${PLUMO_DISPLAY_PACKAGES[@]}"
}

BENCH_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
