#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# F3 and F4 convert the whole text, read back the way a user copies it:
# Ctrl+A, Ctrl+C, and the real X clipboard. The keys reach the menu commands
# even though the text area has the focus. A conversion leaves the caret at
# the start of the text. The menu item does the same as its key.
. "$(dirname "$0")/lib.sh"
e2e_init
start_x
start_app

# Words whose spelling no sensible table would argue about.
LATIN='Privet, mir! zhuk i kot.'
CYRILLIC='Привет, мир! жук и кот.'

type_text "$LATIN"
key F3
type_text '>'
expect_text ">$CYRILLIC" "F3 converts to Cyrillic and leaves the caret at the start"
key F4
expect_text ">$LATIN" "F4 converts back to Latin"

open_menu 1 # "Конвертация", its first item "Русский шрифт" highlighted
key Return
menu_closed
expect_text ">$CYRILLIC" "the menu item Русский шрифт converts like F3"
