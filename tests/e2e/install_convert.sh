#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The command-line converter installs beside the program: PREFIX/bin/
# vertlin-convert is a relative link that still finds the shared vl1.ini,
# started by name from PATH in any directory, both ways round.
. "$(dirname "$0")/lib.sh"
e2e_init
prefix=$E2E_WORK/prefix
install_into "$prefix"
[ -x "$prefix/lib/vertlin/vertlin-convert" ] || fail "no lib/vertlin/vertlin-convert"
link=$(readlink "$prefix/bin/vertlin-convert") || fail "bin/vertlin-convert is not a link"
[ "${link#/}" = "$link" ] || fail "bin/vertlin-convert points to an absolute path ($link)"
[ "$prefix/bin/vertlin-convert" -ef "$prefix/lib/vertlin/vertlin-convert" ] \
    || fail "bin/vertlin-convert does not lead to the converter"
pass "the converter sits beside the program, linked from bin"

cd "$E2E_WORK"
export PATH=$prefix/bin:$PATH
LATIN='Privet, mir! zhuk i kot.'
CYRILLIC='Привет, мир! жук и кот.'
out=$(printf '%s\n' "$LATIN" | vertlin-convert --to-cyrillic 2>"$E2E_WORK/convert.err") \
    || fail "vertlin-convert --to-cyrillic failed: $(cat "$E2E_WORK/convert.err")"
[ "$out" = "$CYRILLIC" ] || fail "--to-cyrillic gave '$out', expected '$CYRILLIC'"
pass "from PATH it finds the installed table: '$out'"
out=$(printf '%s\n' "$CYRILLIC" | vertlin-convert --to-latin 2>"$E2E_WORK/convert.err") \
    || fail "vertlin-convert --to-latin failed: $(cat "$E2E_WORK/convert.err")"
[ "$out" = "$LATIN" ] || fail "--to-latin gave '$out', expected '$LATIN'"
pass "and converts back to Latin"
version=$(vertlin-convert --version) || fail "--version failed"
case "$version" in *2.0.15*) pass "--version: $version" ;; *) fail "--version printed '$version'" ;; esac
