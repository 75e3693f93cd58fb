#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# `cmake --install` of the tested build, checked as a distribution checks it:
# the desktop entry (Russian name, Utility/TextTools) and the AppStream
# metainfo validate and name each other, the icons are in the hicolor theme,
# the metainfo lists this release, the manual pages render without a single
# groff warning, and the licence and change log are with the docs.
. "$(dirname "$0")/lib.sh"
need desktop-file-validate desktop-file-utils
need appstreamcli appstream
need man man-db
need identify imagemagick

prefix=$RELEASE_WORK/prefix
"$RELEASE_CMAKE" --install "$RELEASE_BUILD_DIR" --prefix "$prefix" >"$RELEASE_WORK/install.log" 2>&1 \
    || fail "cmake --install failed: $(cat "$RELEASE_WORK/install.log")"

desktop=$prefix/share/applications/$APP_ID.desktop
metainfo=$prefix/share/metainfo/$APP_ID.metainfo.xml
desktop-file-validate "$desktop" || fail "the desktop entry does not validate"
appstreamcli validate --no-net --explain "$metainfo" || fail "the metainfo does not validate"
# The tree as a whole: the launchable desktop entry and the icon are found.
appstreamcli validate-tree --no-net "$prefix" || fail "the installed tree does not validate"
grep -qF "<launchable type=\"desktop-id\">$APP_ID.desktop</launchable>" "$metainfo" \
    || fail "the metainfo does not launch $APP_ID.desktop"
grep -qF "<release version=\"$RELEASE_VERSION\"" "$metainfo" \
    || fail "the metainfo lists no release $RELEASE_VERSION"
for line in 'GenericName\[ru\]=\p{Cyrillic}' 'Comment\[ru\]=\p{Cyrillic}' 'Categories=(.*;)?Utility;(.*;)?TextTools;' 'Exec=vertlin$' 'Icon=vertlin$'; do
    grep -qP "^$line" "$desktop" || fail "the desktop entry has no line like $line"
done
for size in 16 32 48 256; do
    [ "$(identify -format %wx%h "$prefix/share/icons/hicolor/${size}x$size/apps/vertlin.png")" = "${size}x$size" ] \
        || fail "no ${size}x$size icon"
done
grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/vertlin.svg" || fail "no scalable icon"
pass "desktop entry (Russian name, Utility/TextTools) and metainfo of $APP_ID validate, release $RELEASE_VERSION listed, icons in hicolor"

for page in man1/vertlin.1.gz man1/vertlin-convert.1.gz ru/man1/vertlin.1.gz ru/man1/vertlin-convert.1.gz; do
    file=$prefix/share/man/$page
    [ -f "$file" ] || fail "no manual page $page"
    MANWIDTH=80 man --warnings=w -l "$file" >"$RELEASE_WORK/page.txt" 2>"$RELEASE_WORK/page.err" \
        || fail "man -l $page failed: $(cat "$RELEASE_WORK/page.err")"
    [ ! -s "$RELEASE_WORK/page.err" ] || fail "man -l $page warns: $(cat "$RELEASE_WORK/page.err")"
    grep -q "$RELEASE_VERSION" "$RELEASE_WORK/page.txt" || fail "$page does not name version $RELEASE_VERSION"
done
pass "the four manual pages render without warnings"

doc=$prefix/share/doc/vertlin
cmp -s "$doc/LICENSE" "$RELEASE_SOURCE_DIR/LICENSE" || fail "no licence in $doc"
zcat "$doc/changelog.gz" | head -n 1 | grep -qF "vertlin ($RELEASE_VERSION)" \
    || fail "the change log has no entry for $RELEASE_VERSION: $(zcat "$doc/changelog.gz" | head -n 1)"
pass "licence and change log in share/doc/vertlin"
