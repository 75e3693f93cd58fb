#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Words the table cannot tell (eto reads ето) typed in auto-conversion: a
# right click on the first offers это first, choosing it replaces that word
# alone, and one Ctrl+Z brings ето back; "Исправить все" mends every such
# word as one undo step.
. "$(dirname "$0")/lib.sh"
e2e_init
[ -r /usr/share/hunspell/ru_RU.dic ] || skip "no Russian dictionary (hunspell-ru)"
start_x
start_app

open_menu 1
key Down Down Down Return # LAT --> RUS
menu_closed
type_text 'eto ekran '
expect_text 'ето екран ' "auto-conversion reads eto as ето"

# The first word of the text area, just below the menu bar.
xdotool mousemove --window "$W" 12 36 click 3
wait_until has_other_window || fail "no context menu"
shot "$E2E_WORK/menu.png" "$(other_windows | head -n 1)"
key Down Return
menu_closed
expect_text 'это екран ' "the first reading offered replaced the word alone"
key ctrl+z
expect_text 'ето екран ' "one Ctrl+Z took it back"

# Right of the text, on no word: "Исправить все" comes first and mends both
# words as one undo step, taken back here with the ru layout's Ctrl+Я.
xdotool mousemove --window "$W" 300 36 click 3
wait_until has_other_window || fail "no context menu right of the text"
key Down Return
menu_closed
expect_text 'это экран ' "Исправить все mended both words"
layout ru
key ctrl+Cyrillic_ya
layout us
expect_text 'ето екран ' "ru: one Ctrl+Я took both back"
