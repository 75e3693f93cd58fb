#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The installed program and converter: `cmake --install` into a fresh prefix;
# the program, started by name from PATH in another folder as a menu entry
# does, finds its table through the link in bin/; so does the converter. The
# links are relative, so the tree may be moved whole.
. "$(dirname "$0")/lib.sh"
e2e_init
prefix=$E2E_WORK/prefix
"$E2E_CMAKE" --install "$E2E_BUILD_DIR" --prefix "$prefix" >"$E2E_WORK/install.log" 2>&1 \
    || fail "cmake --install failed: $(cat "$E2E_WORK/install.log")"
for program in vertlin vertlin-convert; do
    link=$(readlink "$prefix/bin/$program") && [ "${link#/}" = "$link" ] || fail "bin/$program is no relative link"
    [ "$prefix/bin/$program" -ef "$prefix/lib/vertlin/$program" ] || fail "bin/$program does not lead to lib/vertlin"
done
cmp -s "$prefix/lib/vertlin/vl1.ini" "$E2E_BUILD_DIR/bin/vl1.ini" || fail "no built table beside the programs"
pass "programs and table in lib/vertlin, linked from bin"

cd "$E2E_WORK"
export PATH=$prefix/bin:$PATH
out=$(printf 'Privet, mir! zhuk i kot.\n' | vertlin-convert --to-cyrillic 2>"$E2E_WORK/convert.err")
[ "$out" = 'Привет, мир! жук и кот.' ] || fail "--to-cyrillic gave '$out': $(cat "$E2E_WORK/convert.err")"
pass "vertlin-convert from PATH finds the installed table"

start_x
start_app vertlin
expect_title "Vertlin v2.0" "the installed program, started from PATH, found its table"
