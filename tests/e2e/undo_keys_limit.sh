#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# With the us layout active: Ctrl+V and Ctrl+D are undone on their own,
# never with the typing before them; Alt with the key that carries an access
# letter on the Russian layout (К on R, П on G, О on J) opens that menu or
# runs that command and types nothing; and a typed space whose
# auto-conversion fails says so once, in a box with the program's icon,
# switches the mode off and is still typed.
. "$(dirname "$0")/lib.sh"
e2e_init
e2e_need xprop
start_x
start_app

clip_from_file() { # TEXT: another program owns the clipboard with TEXT
    printf '%s' "$1" >"$E2E_WORK/clip.txt"
    xclip -quiet -selection clipboard -i "$E2E_WORK/clip.txt" >/dev/null 2>&1 &
    e2e_track $!
    expect_clip "$1" "another program holds '${1:0:20}'"
}

type_text 'Privet, '
clip_from_file 'kak dela'
key ctrl+v ctrl+z
expect_selected_text 'Privet, ' "Ctrl+Z after Ctrl+V takes back the paste alone"
key ctrl+d ctrl+z
expect_selected_text 'Privet, ' "Ctrl+Z after Ctrl+D takes back the date alone"

key alt+w # Ц: no access letter
key alt+r # К: Конвертация, its first item lit: Русский шрифт
wait_until has_other_window || fail "Alt+R did not open Конвертация"
key Return
menu_closed
expect_selected_text 'Привет, ' "Alt+R opens Конвертация; Alt+W types nothing"
key alt+g # П: Правка; the third item is Вставить
wait_until has_other_window || fail "Alt+G did not open Правка"
key Down Down Return
menu_closed
expect_selected_text 'Привет, kak dela' "Alt+G opens Правка"
key alt+j # О: О программе...
wait_until has_other_window || fail "Alt+J did not open the About window"
about=$(other_windows | head -n 1)
xdotool mousemove --window "$about" 5 5 click 1
menu_closed
focus_window "$W"
expect_selected_text 'Привет, kak dela' "Alt+J opens the About window and types nothing"

# 32,767 characters, one more than a conversion takes.
long=$(printf 'zhuk %.0s' $(seq 6554))
long=${long:0:32767}
clip_from_file "$long"
key ctrl+a ctrl+v
open_menu 1
key Down Down Down Return # Автоконвертация: LAT --> RUS
menu_closed
key space
wait_until has_other_window || fail "no message for a space whose conversion fails"
box=$(other_windows | head -n 1)
xprop -id "$box" _NET_WM_ICON | grep -q '=' || fail "the message box has no icon"
grep -q 'Автоконвертация выключена' "$E2E_WORK/app.err" || fail "the message does not say the mode is off"
pass "one message, with the program's icon, says the mode is off"
focus_window "$box"
key Return
wait_until no_other_window || fail "the box did not go away"
focus_window "$W"
key space
key ctrl+End ctrl+shift+Home
wait_until primary_is "$long  " || fail "the text is not the long one and two spaces ($(primary | wc -c) bytes)"
pass "both spaces typed, the text kept, and no second message"
no_other_window || fail "a second message came up"
