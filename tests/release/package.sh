#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Debian package made as the README says (preset "deb", then cpack):
# its control fields, the table as a conffile in /etc reached through a link
# beside the programs, copyright and change log; then lintian, when it is
# installed, must find neither an error nor a warning.
. "$(dirname "$0")/lib.sh"
: "${RELEASE_CPACK:?}"
command -v dpkg-deb >/dev/null || skip "dpkg-deb is missing: not a Debian system"

build=$RELEASE_WORK/build
log=$RELEASE_WORK/build.log
{ "$RELEASE_CMAKE" -S "$RELEASE_SOURCE_DIR" --preset deb -B "$build" \
    && "$RELEASE_CMAKE" --build "$build" --parallel 2 \
    && (cd "$build" && "$RELEASE_CPACK" -G DEB); } >"$log" 2>&1 \
    || fail "building the package failed: $(tail -n 30 "$log")"
deb=$build/vertlin_${RELEASE_VERSION}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no $deb"
pass "built $(basename "$deb")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Section)" = text ] || fail "section '$(field Section)'"
[ "$(field Recommends)" = "qt6-translations-l10n, hunspell-ru" ] || fail "recommends '$(field Recommends)'"
case "$(field Depends)" in
    *libqt6widgets6*libstdc++6*) ;;
    *) fail "the dependencies do not name the shared libraries: '$(field Depends)'" ;;
esac
pass "section text, recommends qt6-translations-l10n and hunspell-ru, depends on $(field Depends)"

dpkg-deb -e "$deb" "$RELEASE_WORK/control"
grep -qx /etc/vertlin/vl1.ini "$RELEASE_WORK/control/conffiles" 2>/dev/null \
    || fail "/etc/vertlin/vl1.ini is not a conffile"
root=$RELEASE_WORK/root
dpkg-deb -x "$deb" "$root"
cmp -s "$root/etc/vertlin/vl1.ini" "$RELEASE_SOURCE_DIR/data/vl1.ini" || fail "the packaged table is not data/vl1.ini"
program=$(dirname "$(readlink -f "$root/usr/bin/vertlin-convert" | sed "s|^$root||")")
[ "$(readlink "$root$program/vl1.ini")" = /etc/vertlin/vl1.ini ] \
    || fail "$program/vl1.ini does not lead to /etc/vertlin/vl1.ini"
pass "the table is a conffile in /etc/vertlin, linked from $program"

doc=$root/usr/share/doc/vertlin
cmp -s "$doc/copyright" "$RELEASE_SOURCE_DIR/LICENSE" || fail "no copyright file"
zcat "$doc/changelog.gz" | head -n 1 | grep -qF "vertlin ($RELEASE_VERSION)" || fail "no change log entry"
pass "copyright and changelog.gz"

if ! command -v lintian >/dev/null; then
    say "lintian is not installed: the package is not checked by it"
    exit 0
fi
lintian --fail-on error,warning --display-info "$deb" >"$RELEASE_WORK/lintian.txt" 2>&1 \
    || fail "lintian: $(cat "$RELEASE_WORK/lintian.txt")"
pass "lintian: no error, no warning; $(grep -c '^I:' "$RELEASE_WORK/lintian.txt" || true) informational tags"
