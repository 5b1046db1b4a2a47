#!/usr/bin/env bash
# Builds the Debian package from a built tree, installs it with dpkg into a temporary root and
# checks what a desktop and an operator need of it: the desktop entry (valid, the handler of
# quorvane:// links), the icons of the hicolor theme, the sample INI, the programs' --help and
# --version, and the libraries the package must depend on.
#   deb_test.sh BUILD-FOLDER
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "deb_test: $*" >&2
    exit 1
}

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "cpack failed"; }
debs=("$work"/out/*.deb)
[[ ${#debs[@]} -eq 1 && -f ${debs[0]} ]] || fail "expected one .deb, got: ${debs[*]}"
deb=${debs[0]}

depends=$(dpkg-deb --field "$deb" Depends)
for needed in libqt6widgets6 libqt6webenginewidgets6 libqt6multimedia6 libqt6svg6 libsqlite3-0 \
    fonts-noto-cjk qt6-translations-l10n; do
    [[ $depends == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
done

# A root of its own with an empty package database; the dependencies live on this machine.
root=$work/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
dpkg --root="$root" --force-depends --force-not-root -i "$deb" >"$work/dpkg.log" 2>&1 ||
    { cat "$work/dpkg.log" >&2; fail "dpkg -i failed"; }
dpkg --root="$root" -s talmormanager | grep -q '^Status: install ok installed' ||
    fail "the package is not installed in the root"

entry=$root/usr/share/applications/talmormanager.desktop
[[ -f $entry ]] || fail "no desktop entry"
desktop-file-validate "$entry" || fail "desktop-file-validate refused the entry"
grep -qx 'Exec=talmormanager %u' "$entry" || fail "the entry does not hand a URL to the program"
grep -q '^MimeType=.*x-scheme-handler/quorvane;' "$entry" || fail "quorvane:// is not handled"
icon=$(sed -n 's/^Icon=//p' "$entry")
for size in 16 22 24 32 48 64 128 256; do
    png=$root/usr/share/icons/hicolor/${size}x${size}/apps/$icon.png
    [[ -s $png ]] || fail "no $size pixel icon"
    [[ $(file -b "$png") == *"PNG image data, $size x $size"* ]] || fail "$png: $(file -b "$png")"
done
[[ -s $root/usr/share/icons/hicolor/scalable/apps/$icon.svg ]] || fail "no scalable icon"

ini=$root/usr/share/talmormanager/talmormanager.ini
grep -q '^\[server\]' "$ini" && grep -q '^\[safety\]' "$ini" || fail "the sample INI is incomplete"
[[ -s $root/usr/share/talmormanager/gif/StartProgress.gif ]] || fail "no login animation"
[[ -s $root/usr/share/quorvane-server/demo.json ]] || fail "no demo seed"

console=$root/usr/bin/talmormanager
server=$root/usr/bin/quorvane-server
for program in "$console" "$server"; do
    [[ -x $program ]] || fail "$program is missing"
    if ldd "$program" | grep -q 'not found'; then
        fail "$program misses libraries: $(ldd "$program" | grep 'not found')"
    fi
done
version=$(cd / && "$console" --version)
[[ $version =~ ^talmormanager\ [0-9]+\.[0-9]+ ]] || fail "talmormanager --version said: $version"
help=$("$console" --help)
[[ $help == *START-URL* && $help == *quorvane://login/* ]] || fail "talmormanager --help: $help"
help=$("$server" --help)
for option in --seed --port --http-port --list-hold-ms --help --version; do
    [[ $help == *"$option"* ]] || fail "quorvane-server --help does not list $option"
done
"$server" --version | grep -q '^quorvane-server [0-9]' || fail "quorvane-server --version"
echo "deb_test: $(basename "$deb") installs and checks out"
