#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# `cmake --install` into a fresh prefix gives a program that starts from
# PATH and finds its table through the link, a valid desktop entry with a
# Russian name and comment in Utility/TextTools, and the icons in the hicolor
# theme. The installed tree still works after being moved whole.
. "$(dirname "$0")/lib.sh"
e2e_init
prefix=$E2E_WORK/prefix
install_into "$prefix"
pass "installed into $prefix"

[ -x "$prefix/lib/vertlin/vertlin" ] && [ -f "$prefix/lib/vertlin/vl1.ini" ] \
    || fail "the program and its table are not together in lib/vertlin"
cmp -s "$prefix/lib/vertlin/vl1.ini" "$E2E_BUILD_DIR/bin/vl1.ini" || fail "the installed table differs from the built one"
link=$(readlink "$prefix/bin/vertlin") || fail "bin/vertlin is not a link"
[ "${link#/}" = "$link" ] || fail "bin/vertlin points to an absolute path ($link); the tree could not move"
[ "$prefix/bin/vertlin" -ef "$prefix/lib/vertlin/vertlin" ] || fail "bin/vertlin does not lead to the program"
pass "program and table in lib/vertlin, bin/vertlin a relative link to it"

desktop=$prefix/share/applications/org.example.Vertlin.desktop
[ -f "$desktop" ] || fail "no desktop entry"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "the desktop entry does not validate"
fi
entry() { sed -n "s/^$1=//p" "$desktop"; }
cyrillic() { printf '%s' "$1" | grep -qP '\p{Cyrillic}'; }
cyrillic "$(entry 'GenericName\[ru\]')" || fail "no Russian name: '$(entry 'GenericName\[ru\]')'"
cyrillic "$(entry 'Comment\[ru\]')" || fail "no Russian comment: '$(entry 'Comment\[ru\]')'"
case ";$(entry Categories)" in *";Utility;"*) ;; *) fail "not in Utility: $(entry Categories)" ;; esac
case ";$(entry Categories)" in *";TextTools;"*) ;; *) fail "not in TextTools: $(entry Categories)" ;; esac
[ "$(entry Exec)" = vertlin ] && [ "$(entry Icon)" = vertlin ] || fail "Exec/Icon: $(entry Exec) / $(entry Icon)"
pass "desktop entry: $(entry 'GenericName\[ru\]'), $(entry Categories)"

for size in 16 32 48 256; do
    png=$prefix/share/icons/hicolor/${size}x${size}/apps/vertlin.png
    [ "$(identify -format '%wx%h' "$png" 2>/dev/null)" = "${size}x${size}" ] || fail "icon $png missing or not ${size}x${size}"
done
grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/vertlin.svg" || fail "no scalable icon"
pass "hicolor icons 16, 32, 48, 256 and scalable"

# Started by name from PATH, from another directory, as a menu entry does;
# then from a moved copy of the whole tree.
start_x
cd "$E2E_WORK"
PATH=$prefix/bin:$PATH start_app vertlin
expect_title "Vertlin v2.0" "the installed program, started from PATH, found its table and shows its window"
need_close_window
close_window "$W"
wait_app_end
[ "$APP_STATUS" -eq 0 ] || fail "the installed program ended with status $APP_STATUS"

mv "$prefix" "$E2E_WORK/moved"
start_app "$E2E_WORK/moved/bin/vertlin"
expect_title "Vertlin v2.0" "the moved tree still works"
