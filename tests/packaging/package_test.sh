#!/usr/bin/env bash
# The Debian package built by `cpack -G DEB`: its control fields, its files, and the menu
# entries and AppStream description it carries, checked by the freedesktop validators.
set -euo pipefail
: "${PLUMO_BUILD_DIR:?the build folder}" "${PLUMO_VERSION:?the project version}"
failures=0
check() {  # description, then a command that must succeed
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}

out=$(mktemp -d /tmp/plumo-package-XXXXXX)
trap 'rm -rf "$out"' EXIT
(cd "$PLUMO_BUILD_DIR" && cpack -G DEB -B "$out") >"$out/cpack.log" 2>&1 ||
    { cat "$out/cpack.log"; echo "FAILED: cpack"; exit 1; }
deb="$out/plumo_${PLUMO_VERSION}_amd64.deb"
[ -f "$deb" ] || deb=$(ls "$out"/plumo_*.deb)

field() { dpkg-deb --field "$deb" "$1"; }
check "package name" test "$(field Package)" = plumo
check "version from the project ($PLUMO_VERSION)" test "$(field Version)" = "$PLUMO_VERSION"
check "maintainer" grep -q "^Plumo maintainers <.*@.*>$" <<<"$(field Maintainer)"
depends=$(field Depends)
for package in gstreamer1.0-plugins-good fonts-wqy-microhei fonts-liberation2 libqt6widgets6 \
    libgstreamer1.0-0 libsqlite3-0 libgif7 libpng16-16 libxcb-shape0; do
    check "depends on $package" grep -q "$package" <<<"$depends"
done

contents=$(dpkg-deb --contents "$deb" | awk '{print $6 $7 $8}')
for file in ./usr/bin/plumo-\>../lib/plumo/plumo ./usr/bin/datecn-\>../lib/plumo/datecn \
    ./usr/bin/Notavo-\>../lib/plumo/Notavo ./usr/bin/notavo-\>../lib/plumo/Notavo \
    ./usr/share/man/man1/notavo.1.gz ./usr/share/man/man1/Notavo.1.gz-\>notavo.1.gz \
    ./usr/lib/plumo/plumo ./usr/lib/plumo/plumo-sound ./usr/lib/plumo/Notavo \
    ./usr/lib/plumo/datecn ./usr/lib/plumo/installed ./usr/lib/plumo/config/config.ini \
    ./usr/lib/plumo/skin/g1 ./usr/lib/plumo/skin/i.gif ./usr/lib/plumo/sound/msg.mp3 \
    ./usr/lib/plumo/skin/g1@2x ./usr/lib/plumo/skin/i@2x.gif \
    ./usr/share/applications/plumo.desktop ./usr/share/applications/plumo-notavo.desktop \
    ./usr/share/metainfo/io.github.plumo.metainfo.xml ./usr/share/doc/plumo/copyright \
    ./usr/share/doc/plumo/changelog.gz ./usr/share/man/man1/plumo.1.gz \
    ./usr/share/icons/hicolor/scalable/apps/plumo.svg; do
    check "holds $file" grep -qxF -- "$file" <<<"$contents"
done
for size in 16 32 48 64 128; do
    check "holds the ${size}px icon" \
        grep -qxF "./usr/share/icons/hicolor/${size}x${size}/apps/plumo.png" <<<"$contents"
    check "holds the ${size}px icon at twice the pixels" \
        grep -qxF "./usr/share/icons/hicolor/${size}x${size}@2/apps/plumo.png" <<<"$contents"
done
check "holds no memo database" test -z "$(grep 'd\.ini' <<<"$contents")"

dpkg-deb --extract "$deb" "$out/root"
apps="$out/root/usr/share/applications"
check "the menu entry starts /usr/bin/plumo" grep -qx "Exec=/usr/bin/plumo" "$apps/plumo.desktop"
check "the memo entry starts Notavo's window" \
    grep -qx "Exec=/usr/lib/plumo/Notavo -s" "$apps/plumo-notavo.desktop"
# The command finds its program folder through the link: installed, it keeps the memo
# items in the user's data folder.
data="$out/data"
check "bin/notavo runs the memo program" \
    bash -c "XDG_DATA_HOME='$data' '$out/root/usr/bin/notavo' --help | grep -q 'repeat ID RULE'"
check "bin/Notavo finds its installed folder" \
    bash -c "XDG_DATA_HOME='$data-2' '$out/root/usr/bin/Notavo' list >/dev/null &&
             test -f '$data-2/plumo/config/d.ini'"
check "desktop-file-validate passes" desktop-file-validate "$apps/plumo.desktop" \
    "$apps/plumo-notavo.desktop"
check "appstreamcli validate passes" appstreamcli validate --no-net \
    "$out/root/usr/share/metainfo/io.github.plumo.metainfo.xml"

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
echo "all checks passed"
