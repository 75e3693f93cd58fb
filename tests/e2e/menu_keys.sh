#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Alt with a key is a menu key, never text: with the us layout Alt+W, Alt+X
# and Alt+Space type nothing, count nothing and start no auto-conversion;
# with the ru layout Alt+К opens "Конвертация"; AltGr characters still type.
# The menu bar shows when it holds the keyboard: a tap of Alt or F10
# highlights the first title, Esc from a drop-down leaves its title
# highlighted, and a second Esc gives the keys back to the text.
. "$(dirname "$0")/lib.sh"
e2e_init
e2e_need compare convert
start_x
start_app

# The menu bar as drawn: a strip across the top of the window.
BAR=$E2E_WORK/bar
bar_shot() { import -window "$W" -crop 420x18+0+2 +repage "$BAR-$1.png"; }
differs() { [ "$(compare -metric AE "$BAR-$1.png" "$BAR-$2.png" null: 2>&1)" != 0 ]; }
bar_lit() { bar_shot now && differs idle now; }
bar_idle() { bar_shot now && ! differs idle now; }
expect_bar() { # lit|idle WHAT
    if wait_until "bar_$1"; then pass "$2"; else fail "$2: the menu bar is not $1"; fi
}

# Auto-conversion on: a space that reached the typed-key handling would
# convert "zhuk" at once.
open_menu 1
key Down Down Down Return # Автоконвертация: LAT --> RUS
menu_closed
bar_shot idle

type_text 'zhuk'
key alt+w alt+x alt+space
type_text 'q'
expect_selected_text 'zhukq' "us: Alt+W, Alt+X and Alt+Space type nothing and convert nothing"
expect_title "$(key_caption 4)" "us: Alt with a key is not counted as typed"

key alt
expect_bar lit "a tap of Alt highlights the first menu title"
bar_shot alt
key Escape
expect_bar idle "Esc leaves the menu bar"
key F10
wait_until bar_lit && ! differs alt now || fail "F10 does not highlight the first title"
pass "F10 highlights the first title, as Alt does"
key Escape
expect_bar idle "Esc leaves the menu bar after F10"

# "Правка" opened with the mouse, then Esc once and twice.
xdotool mousemove --window "$W" 110 10 click 1
wait_until has_other_window || fail "the menu Правка did not open with the mouse"
xdotool mousemove --window "$W" 300 200
key Escape
menu_closed
expect_bar lit "Esc from a drop-down leaves its title highlighted"
key Escape
expect_bar idle "a second Esc leaves the menu bar"
type_text 'w'
expect_selected_text 'zhukqw' "after the second Esc the keys go to the text again"

# The ru layout active: Alt with a Cyrillic access letter opens its menu,
# Alt with any other letter still types nothing.
setxkbmap -layout ru,us || fail "setxkbmap -layout ru,us"
key alt+Cyrillic_a # no access key
key alt+Cyrillic_ka # К: Конвертация
wait_until has_other_window || fail "ru: Alt+К did not open Конвертация"
pass "ru: Alt+К opens Конвертация"
key Escape Escape
menu_closed
setxkbmap -layout us,ru || fail "setxkbmap -layout us,ru"
expect_selected_text 'zhukqw' "ru: Alt with a letter that is no access key types nothing"

# AltGr is no Alt: xdotool types @ on the German layout through AltGr+Q.
setxkbmap -layout de || fail "setxkbmap -layout de"
type_text '@'
setxkbmap -layout us,ru || fail "setxkbmap -layout us,ru"
expect_selected_text 'zhukqw@' "AltGr characters still type"
