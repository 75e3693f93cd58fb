#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Typing with real key events reaches the text area: Latin, Cyrillic with
# both cases and ё, Enter for a new line, Backspace. The text is read back
# through the X primary selection, which a keyboard selection fills, so this
# scenario does not lean on the program's own copy command.
. "$(dirname "$0")/lib.sh"
e2e_init
start_x
start_app

LATIN='Privet, mir! 123'
CYRILLIC='Съешь же ещё этих мягких французских булок, ЁЖИК'
type_text "$LATIN"
expect_selected_text "$LATIN" "Latin letters, digits and punctuation arrive as typed"

type_text " $CYRILLIC"
expect_selected_text "$LATIN $CYRILLIC" "Cyrillic letters arrive as typed, capitals and ё included"

key Return
type_text 'вторая строка'
key BackSpace BackSpace
expect_selected_text "$LATIN $CYRILLIC"$'\n''вторая стро' "Enter starts a new line and Backspace removes the last letters"
