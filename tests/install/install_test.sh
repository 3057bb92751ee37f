#!/usr/bin/env bash
# Installs a build into a fresh DESTDIR with the prefix /usr and checks what lands there: the
# programs, a valid desktop entry, icon, AppStream metainfo and manual pages, each naming the
# others correctly, and not one file outside the DESTDIR.
# Usage: install_test.sh BUILD_DIR
set -uo pipefail

build=${1:?usage: install_test.sh BUILD_DIR}
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

root=$(mktemp -d "${TMPDIR:-/tmp}/vastel-install.XXXXXX") || exit 1
trap 'rm -rf "$root"' EXIT
dest=$root/dest
log=$root/install.log
stamp=$root/stamp
mkdir "$dest"
touch "$stamp"
sleep 1

if ! DESTDIR=$dest cmake --install "$build" --prefix /usr >"$log" 2>&1; then
    cat "$log"
    fail "cmake --install failed"
    exit 1
fi

share=$dest/usr/share

# The programs.
[ -f "$dest/usr/bin/vastel" ] && [ -x "$dest/usr/bin/vastel" ] || fail "usr/bin/vastel is not an executable file"
if [ -f "$build/vastel-cli" ] && ! [ -x "$dest/usr/bin/vastel-cli" ]; then
    fail "vastel-cli was built but not installed"
fi

# The desktop entry, and the icon it names.
entry=$share/applications/vastel.desktop
if [ -f "$entry" ]; then
    desktop-file-validate "$entry" || fail "desktop-file-validate rejects vastel.desktop"
    grep -qx 'Exec=vastel' "$entry" || fail "the desktop entry does not start vastel"
    icon_name=$(sed -n 's/^Icon=//p' "$entry")
    [ -f "$share/icons/hicolor/scalable/apps/$icon_name.svg" ] ||
        fail "the entry's icon '$icon_name' is not installed in the hicolor theme"
else
    fail "no desktop entry at usr/share/applications/vastel.desktop"
fi

# The icon is well-formed SVG.
icon=$share/icons/hicolor/scalable/apps/vastel.svg
if [ -f "$icon" ]; then
    xmllint --noout "$icon" || fail "the icon is not well-formed XML"
    [ "$(xmllint --xpath 'local-name(/*)' "$icon" 2>/dev/null)" = svg ] ||
        fail "the icon's root element is not svg"
else
    fail "no icon at usr/share/icons/hicolor/scalable/apps/vastel.svg"
fi

# The AppStream metainfo, launching the installed entry.
shopt -s nullglob
metainfos=("$share"/metainfo/*.metainfo.xml)
if [ ${#metainfos[@]} -eq 1 ]; then
    appstreamcli validate --no-net "${metainfos[0]}" || fail "appstreamcli rejects ${metainfos[0]##*/}"
    launchable=$(xmllint --xpath 'string(/component/launchable[@type="desktop-id"])' "${metainfos[0]}")
    [ -f "$share/applications/$launchable" ] || fail "the metainfo launches '$launchable', which is not installed"
    id=$(xmllint --xpath 'string(/component/id)' "${metainfos[0]}")
    [ "${metainfos[0]##*/}" = "$id.metainfo.xml" ] || fail "the metainfo file is not named after its id '$id'"
else
    fail "expected one metainfo file in usr/share/metainfo, found ${#metainfos[@]}"
fi

# The manual pages: one for every program installed, each formatting without a warning.
for program in "$dest"/usr/bin/*; do
    [ -f "$share/man/man1/${program##*/}.1" ] || fail "no manual page for ${program##*/}"
done
pages=("$share"/man/man1/*.1)
[ ${#pages[@]} -gt 0 ] || fail "no manual pages in usr/share/man/man1"
for page in "${pages[@]}"; do
    warnings=$(groff -man -ww -z "$page" 2>&1)
    [ -z "$warnings" ] || fail "${page##*/} formats with warnings: $warnings"
done

# Nothing outside the DESTDIR, and nothing in it outside the prefix.  The install's list of
# files names them as they would lie without DESTDIR: each must be in DESTDIR, under /usr, and
# its place outside DESTDIR must be untouched since the install began.
manifest=$build/install_manifest.txt
if [ -f "$manifest" ] && [ "$manifest" -nt "$stamp" ]; then
    while IFS= read -r file; do
        case $file in
        /usr/*) ;;
        *) fail "installed outside the prefix /usr: $file" ;;
        esac
        [ -f "$dest$file" ] || fail "listed as installed but not in DESTDIR: $file"
        if [ -e "$file" ] && [ "$file" -nt "$stamp" ]; then
            fail "written outside DESTDIR: $file"
        fi
    done <"$manifest"
    listed=$(grep -c . "$manifest")
    found=$(find "$dest" -type f | wc -l)
    [ "$listed" -eq "$found" ] || fail "the install lists $listed files but $found are in DESTDIR"
else
    fail "cmake --install wrote no install_manifest.txt"
fi
strays=$(find "$dest" -mindepth 1 -maxdepth 1 ! -name usr)
[ -z "$strays" ] || fail "installed beside usr/: $strays"

if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "install: $(find "$dest" -type f | wc -l) files checked"
