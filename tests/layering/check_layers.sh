#!/usr/bin/env bash
# Fails when a file under src/ or tools/ includes a header of a higher layer, or when Linux
# code leaves src/platform/linux/: a portable platform header declaring a Linux class or
# including a system header, or code above the platform using either. The layers, lowest first:
#   base ← platform ← calendar, image, sound ← memo, settings ← companion/core
#        ← companion (the window), tray, style ← app
# A folder may include its own layer and every layer below; tools/ everything below the
# window.
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/../.." && pwd)}
cd "$root"

# The rank of a folder under src/, from the path of a file or of an included header.
rank_of() {
    case "$1" in
        base/*) echo 0 ;;
        platform/*) echo 1 ;;
        calendar/* | image/* | sound/*) echo 2 ;;
        memo/* | settings/*) echo 3 ;;
        companion/core/*) echo 4 ;;
        companion/* | tray/* | style/*) echo 5 ;;
        app/*) echo 6 ;;
        *) echo "" ;;
    esac
}

status=0
while IFS= read -r file; do
    case "$file" in
        tools/*) own=4 ;;
        src/*) own=$(rank_of "${file#src/}") ;;
    esac
    [ -n "$own" ] || { echo "$file: in no layer"; status=1; continue; }
    while IFS=: read -r line header; do
        included=$(rank_of "$header")
        [ -n "$included" ] || continue  # a header beside the file, or of a library
        if [ "$included" -gt "$own" ]; then
            echo "$file:$line: includes \"$header\" from a higher layer"
            status=1
        fi
    done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]+"' "$file" |
             sed -E 's/^([0-9]+):[^"]*"([^"]+)".*/\1:\2/')
done < <(find src tools -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.in' \) | sort)

# Interfaces stay portable: their Linux implementations live in platform/linux/, and only
# the program's entry, which chooses them, includes their headers.
linux_classes='XdgAutostartStore|ProcTable|CommandSystemShutdown|SingleInstanceGuard|FileDescriptor'
if grep -nE "^(class|struct) ([A-Za-z_]*(Linux|Xdg|X11|Xcb|Posix|Proc)([A-Z_ ]|\$)|($linux_classes)\b)" \
        src/platform/*.h; then
    echo "a portable platform header above declares a Linux class"
    status=1
fi
if grep -nE "^[[:space:]]*#[[:space:]]*include[[:space:]]*<(unistd|pwd|fcntl|dirent|sys/[a-z_]+|X11/.+|xcb/.+)\.h>" \
        src/platform/*.h; then
    echo "a portable platform header above includes a system header of Linux"
    status=1
fi
if grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]+"platform/linux/' src tools |
        grep -vE '^src/(platform/linux|app)/'; then
    echo "a file above includes a Linux implementation; only src/app/ chooses them"
    status=1
fi
# The folders cleared of system calls keep them behind the platform interfaces.
if grep -rnE "^[[:space:]]*#[[:space:]]*include[[:space:]]*<(unistd|pwd|fcntl|sys/[a-z_]+)\.h>" \
        src/base src/calendar src/image src/settings src/companion src/tray src/style src/app; then
    echo "a file above makes system calls of Linux outside src/platform/linux/"
    status=1
fi

[ "$status" -eq 0 ] && echo "every include runs downward"
exit "$status"
