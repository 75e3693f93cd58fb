#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A first session, as a user has it: start the program, type with the us and
# then the ru layout active, convert with F3, F4 and the menu, let
# auto-conversion work, edit, try the menu keys, look at the About window,
# close the window. Access keys and undo along the way.
. "$(dirname "$0")/lib.sh"
e2e_init
[ -x "${E2E_CLOSE_WINDOW:-}" ] || skip "e2e-close-window was not built (install libx11-dev)"
start_x
start_app

expect_title "Vertlin v2.0" "the start-up caption names major and minor version only"
icons=$(xprop -id "$W" -notype _NET_WM_ICON | grep -o 'Icon ([0-9]* x [0-9]*)' | sort -u | tr '\n' ' ')
[[ $icons == *"(16 x 16)"* && $icons == *"(32 x 32)"* ]] && pass "desktops read the icon ($icons)" \
    || fail "the window icon lacks 16 and 32 pixel images: '$icons'"
centred "$W" "the main window"

# One key at a time, each shows the length of the text before it lands.
n=0
type_each() {
    local i
    for ((i = 0; i < ${#1}; i++)); do
        type_text "${1:i:1}"
        wait_until title_is "$(key_caption $n)" || fail "after '${1:0:i+1}' the caption is '$(title)', expected '$(key_caption $n)'"
        n=$((n + 1))
    done
}
type_each 'Privet, mir! 123 '
pass "us: Latin, digits and punctuation counted key by key"
layout ru
type_each 'Съешь ещё, ЁЖИК'
pass "ru: Cyrillic, capitals and ё counted key by key"
key Return
expect_title "$(key_caption $n)" "Enter shows the length before the line break"
n=$((n + 2))
type_text 'xy'
expect_title "$(key_caption $((n + 1)))" "the line break counted two"
key BackSpace
expect_title "$(key_caption $((n + 2)))" "Backspace shows the length before it removes a character"
n=$((n + 1))
xdotool mousemove --window "$W" 300 200 click 1
expect_title "Vertlin v2.0   ---    (Напечатано символов: $n)" "a click shows the current length, four spaces after the hyphens"
expect_text $'Privet, mir! 123 Съешь ещё, ЁЖИК\nx' "the text arrived as typed"

# Alt with a key is a menu key: ru Alt+К opens Конвертация, Alt+а types nothing.
key alt+Cyrillic_a alt+Cyrillic_ka
wait_until has_other_window || fail "ru: Alt+К did not open Конвертация"
key Escape Escape
menu_closed
layout us
type_text 'y'
expect_title "$(key_caption $n)" "ru: Alt+К opens its menu, Alt with another letter is not typed"

# F3, F4 and the menu item convert the whole text and leave the caret at its start.
key ctrl+a Delete
type_text 'Privet, mir! zhuk i kot.'
key F3
type_text '>'
expect_text '>Привет, мир! жук и кот.' "F3 converts to Cyrillic and leaves the caret at the start"
key F4
expect_text '>Privet, mir! zhuk i kot.' "F4 converts back to Latin"
key alt+r # us: the key of К opens Конвертация, Русский шрифт lit
wait_until has_other_window || fail "us: Alt+R did not open Конвертация"
key Return
menu_closed
expect_text '>Привет, мир! жук и кот.' "us: Alt+R opens Конвертация; its Русский шрифт converts like F3"

# Auto-conversion LAT --> RUS from the menu: each typed space converts the
# whole text, then lands at its end; the caption leaves the space out.
key ctrl+a Delete
open_menu 1
key Down Down Down Return # Автоконвертация: LAT --> RUS
menu_closed
type_text 'zhuk'
key alt+w alt+x alt+space # menu keys: neither typed nor a space that converts
type_text ' '
expect_text 'жук ' "LAT --> RUS: the space converted the text, Alt+W, Alt+X and Alt+Space typed nothing"
title_is "$(key_caption 3)" || fail "after the space the caption is '$(title)', expected '$(key_caption 3)'"
pass "the space shows the converted length, without itself"
key F4 # ends the mode

# The menu bar holds the keyboard after a tap of Alt or F10 and after Esc
# from a drop-down; it shows so by its first title drawn lit.
bar_shot() { import -window "$W" -crop 420x18+0+2 +repage "$E2E_WORK/bar-$1.png"; }
differs() { [ "$(compare -metric AE "$E2E_WORK/bar-$1.png" "$E2E_WORK/bar-$2.png" null: 2>&1)" != 0 ]; }
bar_lit() { bar_shot now && differs idle now; }
bar_idle() { bar_shot now && ! differs idle now; }
bar_shot idle
key alt
wait_until bar_lit || fail "a tap of Alt does not light the menu bar"
bar_shot alt
key Escape
wait_until bar_idle || fail "Esc does not leave the menu bar"
key F10
wait_until bar_lit && ! differs alt now || fail "F10 does not light the first title as Alt does"
xdotool mousemove --window "$W" 110 10 click 1 # Правка
wait_until has_other_window || fail "the menu Правка did not open with the mouse"
xdotool mousemove --window "$W" 300 200
key Escape
menu_closed
wait_until bar_lit || fail "Esc from a drop-down does not leave its title lit"
key Escape
wait_until bar_idle || fail "a second Esc does not leave the menu bar"
pass "Alt, F10 and Esc from a drop-down hand the keyboard to the menu bar; Esc gives it back"

# Editing: Вставить pastes what another program put on the clipboard; AltGr
# characters type; each command is an undo step of its own.
key ctrl+a Delete
setxkbmap -layout de || fail "setxkbmap -layout de"
type_text 'ab@' # AltGr+Q
layout us
printf 'ёжик в тумане' >"$E2E_WORK/clip.txt"
xclip -quiet -selection clipboard -i "$E2E_WORK/clip.txt" >/dev/null 2>&1 &
expect_clip 'ёжик в тумане' "another program owns the clipboard"
key alt+g # П: Правка, its third item Вставить
wait_until has_other_window || fail "Alt+G did not open Правка"
key Down Down Return
menu_closed
expect_text 'ab@ёжик в тумане' "AltGr characters type; Alt+G opens Правка, whose Вставить pastes at the caret"
key ctrl+d ctrl+z ctrl+z
expect_text 'ab@' "Ctrl+Z takes back the date, then the paste, each alone"

# О программе..., the third entry of the menu bar, a command of its own.
key alt+j # О
wait_until has_other_window || fail "Alt+J did not open the About window"
A=$(other_windows)
centred "$A" "the About window"
# 4785 x 3315 twips inside a 45-twip frame: about 319 x 221 pixels at 96 dpi.
[ "$WIDTH" -ge 300 ] && [ "$WIDTH" -le 340 ] && [ "$HEIGHT" -ge 205 ] && [ "$HEIGHT" -le 240 ] \
    || fail "the About window is ${WIDTH}x${HEIGHT}"
focus_window "$W"
type_text '!'
expect_text 'ab@!' "Alt+J opens the About window; the main window takes input while it is open"

"$E2E_CLOSE_WINDOW" "$W" || fail "cannot send the close request to $W"
wait_app_end
[ "$APP_STATUS" -eq 0 ] || fail "status $APP_STATUS"
pass "closing the main window with text typed and About open ends the program at once, status 0"
