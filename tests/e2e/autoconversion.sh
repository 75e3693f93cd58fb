#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# An auto-conversion mode switched on through the menu (Alt, arrows): each
# typed space converts the whole text, the caption shows the converted
# length without the space, and the space lands at the end of the text even
# when typed in the middle. F4 ends the mode; the other mode converts the
# other way. The menu shows the mode's check mark.
. "$(dirname "$0")/lib.sh"
e2e_init
start_x
start_app

popup_shot() { import -window "$(other_windows | head -n 1)" "$1"; }

# "Конвертация": Русский шрифт, Латинский шрифт, separator, RUS --> LAT, LAT --> RUS.
open_menu 1
popup_shot "$E2E_WORK/menu-off.png"
key Down Down Down Return
menu_closed

type_text 'zhuk'
expect_title "$(key_caption 3)" "letters alone convert nothing"
type_text ' '
expect_selected_text 'жук ' "LAT --> RUS: the space converted the text, then landed after it"
# Read only now that the space has surely been handled: before the
# conversion the text was 4 characters long.
title_is "$(key_caption 3)" || fail "after the space the caption is '$(title)', expected '$(key_caption 3)'"
pass "the space shows the converted length, without itself"

type_text 'i kot '
expect_selected_text 'жук и кот ' "every space converts the whole text"

key ctrl+Home
type_text 'ya '
expect_selected_text 'яжук и кот  ' "a space typed at the start lands at the end after converting"

open_menu 1
popup_shot "$E2E_WORK/menu-on.png"
key Escape Escape
menu_closed
differ=$(compare -metric AE "$E2E_WORK/menu-off.png" "$E2E_WORK/menu-on.png" null: 2>&1)
[ "${differ%% *}" -gt 0 ] 2>/dev/null && pass "the menu shows the mode's check mark ($differ pixels changed)" \
    || fail "the menu looks the same with the mode on ($differ)"

key F4
key ctrl+End
type_text 'zhuk '
expect_selected_text 'yazhuk i kot  zhuk ' "F4 converted to Latin and ended the mode"

open_menu 1
key Down Down Return # RUS --> LAT
menu_closed
type_text 'ещё '
expect_selected_text 'yazhuk i kot  zhuk eshchyo ' "RUS --> LAT: the space converts the whole text to Latin"
