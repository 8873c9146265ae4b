#!/usr/bin/env bash
# Installs the build into a scratch root as a package manager would, validates the desktop
# entry and the AppStream metainfo, checks the icon theme's files, then builds the Debian
# package and starts the program it carries.
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
id=example.quorvane.Quorvane

DESTDIR="$work/root" cmake --install "$build" --prefix /usr >/dev/null
root=$work/root/usr
[ -x "$root/bin/Quorvane" ] || fail "no program in bin"
desktop-file-validate "$root/share/applications/$id.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$root/share/metainfo/$id.metainfo.xml" >/dev/null ||
    fail "metainfo: $(appstreamcli validate --no-net "$root/share/metainfo/$id.metainfo.xml")"
grep -qx "Icon=$id" "$root/share/applications/$id.desktop" || fail "the entry names another icon"
for size in 16 22 24 32 48 64 128 256; do
    png=$root/share/icons/hicolor/${size}x${size}/apps/$id.png
    [ "$(identify -format '%wx%h' "$png" 2>/dev/null)" = "${size}x${size}" ] || fail "icon $png"
done
grep -q '<svg' "$root/share/icons/hicolor/scalable/apps/$id.svg" || fail "no scalable icon"
echo "installed: program, desktop entry, metainfo, 8 icon sizes and a scalable icon"

(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >/dev/null)
deb=$(ls "$work"/package/quorvane_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 libqt6gui6 libqt6core6 qt6-qpa-plugins fonts-wine; do
    [[ $depends == *"$needed"* ]] || fail "the package does not depend on $needed: $depends"
done
dpkg-deb -x "$deb" "$work/unpacked"
[ -f "$work/unpacked/usr/share/applications/$id.desktop" ] || fail "the package lacks the desktop entry"
# Still running after two seconds: it started and waits for the user.
set +e
QT_QPA_PLATFORM=offscreen timeout 2 "$work/unpacked/usr/bin/Quorvane" >/dev/null 2>&1
status=$?
set -e
[ "$status" = 124 ] || fail "the packaged program ended with status $status"
echo "package: $(basename "$deb"), Depends: $depends"
echo "1 passed, 0 failed"
