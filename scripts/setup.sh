# Shared by run.sh and test.sh: Debian packages, configure and build.
# shellcheck shell=bash

PLUMO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# PLUMO_SANITIZE=1: a second build folder, built by clang with AddressSanitizer (leaks
# included) and UndefinedBehaviorSanitizer; the first report fails the process, and with
# it the test that started it.
if [ "${PLUMO_SANITIZE:-0}" = 1 ]; then
    PLUMO_BUILD=${PLUMO_BUILD:-$PLUMO_ROOT/build-sanitize}
    PLUMO_CMAKE_OPTIONS=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
        -DPLUMO_SANITIZE=ON -DPLUMO_BUILD_BENCHMARKS=OFF)
    export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1
    ASAN_OPTIONS+=:check_initialization_order=1:strict_init_order=1
    # The allocator then never reads the clock: a libfaketime preloaded by a test (which
    # reaches the sound process too) would otherwise start itself inside the allocator and
    # wait for the allocator's own lock for ever.
    ASAN_OPTIONS+=:allocator_release_to_os_interval_ms=-1
    export LSAN_OPTIONS=suppressions=$PLUMO_ROOT/scripts/lsan_suppressions.txt:print_suppressions=0
    export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
else
    PLUMO_BUILD=${PLUMO_BUILD:-$PLUMO_ROOT/build}
    PLUMO_CMAKE_OPTIONS=()
fi

# What building and running needs.
PLUMO_BUILD_PACKAGES=(
    cmake g++ make pkg-config
    qt6-base-dev libgstreamer1.0-dev gstreamer1.0-plugins-good
    libgif-dev libpng-dev zlib1g-dev libsqlite3-dev libxcb1-dev libxcb-shape0-dev libfontconfig-dev
    fonts-wqy-microhei fonts-liberation2
)
# A virtual display with a window manager and a tray, and screenshots.
PLUMO_DISPLAY_PACKAGES=(xvfb icewm xdotool x11-utils x11-xserver-utils imagemagick)
# The tests and benchmarks; the Debian package's test builds it (dpkg-dev) and validates its
# menu entries and AppStream description; weston with XWayland gives an end-to-end test two
# monitors; clang with its runtimes (libFuzzer, the sanitizers) and symbolizer builds the
# sanitizer build (PLUMO_SANITIZE=1) and the fuzz targets (fuzz/run.sh). The normal build
# needs no clang.
PLUMO_TEST_PACKAGES=(
    libgtest-dev libgmock-dev libbenchmark-dev
    pulseaudio pulseaudio-utils libfaketime sqlite3 procps wmctrl
    dpkg-dev desktop-file-utils appstream weston xwayland
    clang libclang-rt-14-dev llvm-14
    # A StatusNotifierItem tray host on a session bus of its own: Xfce's panel and window manager.
    xfce4-panel xfwm4 dbus-daemon dbus-bin
)

# Installs the missing packages as root; as another user prints the line to run.
plumo_ensure_packages() {
    local missing=() package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -eq 0 ]; then
        echo "Installing: ${missing[*]}"
        export DEBIAN_FRONTEND=noninteractive
        apt-get update -qq
        apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
    else
        echo "Some Debian packages are missing. Install them with:" >&2
        echo "  sudo apt-get install --no-install-recommends ${missing[*]}" >&2
        exit 1
    fi
}

# Configures (once) and builds the given targets, or everything.
plumo_build() {
    if [ ! -f "$PLUMO_BUILD/CMakeCache.txt" ]; then
        cmake -S "$PLUMO_ROOT" -B "$PLUMO_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            "${PLUMO_CMAKE_OPTIONS[@]}" >/dev/null
    fi
    if [ $# -gt 0 ]; then
        cmake --build "$PLUMO_BUILD" -j"$(nproc)" --target "$@"
    else
        cmake --build "$PLUMO_BUILD" -j"$(nproc)"
    fi
}
