#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and checks what a desktop installation needs; then,
# when cpack and dpkg-deb are there, builds the .deb from the same build and checks its contents.
#   check_install.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/zelmora-install.XXXXXX")
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

root=$work/root
DESTDIR=$root cmake --install "$build" --prefix /usr > "$work/install.log" || { cat "$work/install.log"; fail "cmake --install"; }
usr=$root/usr

for f in bin/zelmora bin/zelmora-cli; do
    [ -x "$usr/$f" ] || fail "$f missing or not executable"
done
# The browser windows: the module the program loads from ../lib/zelmora with the first page.
[ -s "$usr/lib/zelmora/zelmora_browser.so" ] || fail "lib/zelmora/zelmora_browser.so missing"
desktop=$usr/share/applications/zelmora.desktop
icon=$usr/share/icons/hicolor/scalable/apps/zelmora.svg
help=$usr/share/zelmora/help/index.html
for f in "$desktop" "$icon" "$help" "$usr/share/doc/zelmora/README.md"; do
    [ -s "$f" ] || fail "${f#"$root"} missing or empty"
done
# Only the product: no development server, no test program.
extra=$(find "$root" -type f \( -name 'groupware-sim' -o -name 'tst_*' -o -name 'fuzz_*' -o -name 'bench_*' \))
[ -z "$extra" ] || fail "not part of the product: $extra"

# A build without the test hooks (a Release build) installs a program that ignores ZELMORA_TEST_*.
if grep -qx 'ZELMORA_TEST_HOOKS:BOOL=OFF' "$build/CMakeCache.txt"; then
    ! grep -q 'ZELMORA_TEST_' "$usr/bin/zelmora" || fail "the installed program has the test hooks"
fi

grep -qx 'Exec=zelmora' "$desktop" || fail "the menu entry does not start zelmora"
grep -qx 'Icon=zelmora' "$desktop" || fail "the menu entry does not name the installed icon"
if command -v desktop-file-validate > /dev/null; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate"
fi
if command -v xmllint > /dev/null; then
    xmllint --noout "$icon" || fail "icon is not well-formed XML"
else
    python3 -c 'import sys, xml.dom.minidom; xml.dom.minidom.parse(sys.argv[1])' "$icon" || fail "icon is not XML"
fi
grep -q '<svg[^>]*xmlns="http://www.w3.org/2000/svg"' "$icon" || fail "icon is not an SVG document"

# Every picture the guide links to (../screenshots/NAME.png) is installed beside it.
{ grep -o '\.\./screenshots/[^"'"'"' )]*' "$help" || true; } | sort -u | while read -r link; do
    [ -f "$usr/share/zelmora/help/$link" ] || fail "the help links to $link, which is not installed"
done
[ -n "$(find "$usr/share/zelmora/screenshots" -name '*.png')" ] || fail "no screenshots installed"

if ! command -v cpack > /dev/null || ! command -v dpkg-deb > /dev/null; then
    echo "cpack or dpkg-deb missing: package not checked"
    exit 0
fi
(cd "$work" && cpack --config "$build/CPackConfig.cmake" -B "$work/package" > "$work/cpack.log" 2>&1) ||
    { cat "$work/cpack.log"; fail "cpack"; }
deb=$(find "$work/package" -maxdepth 1 -name 'zelmora_*.deb')
[ -n "$deb" ] || fail "no zelmora_*.deb made"
[ "$(dpkg-deb -f "$deb" Package)" = zelmora ] || fail "package name"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version is not $version"
dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' || fail "library dependencies missing"
dpkg-deb -f "$deb" Depends | grep -q 'libqt6webenginecore6-bin' || fail "browser helper not a dependency"
dpkg-deb -c "$deb" | awk '{print $6}' > "$work/contents"
for f in ./usr/bin/zelmora ./usr/bin/zelmora-cli ./usr/lib/zelmora/zelmora_browser.so \
    ./usr/share/applications/zelmora.desktop \
    ./usr/share/icons/hicolor/scalable/apps/zelmora.svg ./usr/share/zelmora/help/index.html; do
    grep -qx -- "$f" "$work/contents" || fail "the package lacks $f"
done
if grep -E 'groupware-sim|/tst_|/include/|\.a$' "$work/contents"; then
    fail "the package holds files that are not part of the product"
fi
echo "install and package checked: $(basename "$deb")"
