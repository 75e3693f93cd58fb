#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Makes the README's pictures from the real program, in an X server of its
# own (Xvfb): the main window with converted text, its conversion menu with
# an auto-conversion mode on, a misread word underlined with its readings in
# the context menu, and the About window. Writes docs/screenshots/.
#   scripts/screenshots.sh [OUTPUT-DIRECTORY]
# Needs what the tests need (scripts/install-deps.sh test) and a build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(mkdir -p "${1:-$root/docs/screenshots}" && cd "${1:-$root/docs/screenshots}" && pwd)
"$root/scripts/install-deps.sh" test
"$root/scripts/build.sh"
export VERTLIN_BINARY=${VERTLIN_BINARY:-${VERTLIN_BUILD_DIR:-$root/build}/bin/vertlin}
E2E_WORK=$(mktemp -d "${TMPDIR:-/tmp}/vertlin-screenshots.XXXXXX")
export E2E_WORK E2E_REMOVE_WORK=1
set +eu # the scenario library checks every step itself
. "$root/tests/e2e/lib.sh"
e2e_init
start_x
start_app

font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf

# The X server runs no window manager, so windows have no frame: draw a plain
# title bar with the window's real caption above the picture.
with_caption() { # PICTURE CAPTION OUTPUT
    local width
    width=$(identify -format %w "$1")
    convert -size "${width}x24" xc:'#dcdcdc' -font "$font" -pointsize 12 -fill '#202020' \
        -gravity center -annotate +0+0 "$2" \( "$1" \) -append \
        -bordercolor '#9a9a9a' -border 1 -strip "$3"
}

# Types a last space and waits until the caption has counted everything
# before it: then every earlier key has landed and the picture is final.
has_primary() { [ -n "$(primary)" ]; }
settle() {
    key ctrl+End ctrl+shift+Home
    wait_until has_primary || fail "the text cannot be selected"
    local text newlines n
    text=$(primary)
    newlines=${text//[!$'\n']/}
    n=$((${#text} + ${#newlines})) # a line break counts two
    key ctrl+End
    type_text ' '
    wait_until title_is "$(key_caption "$n")" || fail "the caption did not count $n characters: $(title)"
}

type_text "Privet! Vertlin prevrashchaet latinicu v kirillicu i obratno."
key Return Return
type_text "zhuk, yozh, shchuka, chaj, ob'yavlenie, e'kran"
key F3
settle
shot "$E2E_WORK/main.png"
with_caption "$E2E_WORK/main.png" "$(title)" "$out/main-window.png"
say "main window: $out/main-window.png"

# The conversion menu with "Автоконвертация: LAT --> RUS" checked. A menu is a
# window of its own: take the screen and cut out the main window's area.
open_menu 1
key Down Down Down Return
menu_closed
open_menu 1
key Down Down Down
eval "$(xdotool getwindowgeometry --shell "$W")"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$E2E_WORK/menu.png"
key Escape Escape
menu_closed
with_caption "$E2E_WORK/menu.png" "$(title)" "$out/conversion-menu.png"
say "conversion menu: $out/conversion-menu.png"

# Words no table can tell, typed in that mode: the context menu of one.
key ctrl+a Delete
type_text "Otsy videli novyj ekran, i eto nemetskij "
key Return Return ctrl+Home End ctrl+Left Right Menu
wait_until has_other_window || fail "the context menu did not open"
eval "$(xdotool getwindowgeometry --shell "$(other_windows | head -n 1)")"
menu_bottom=$((Y + HEIGHT))
eval "$(xdotool getwindowgeometry --shell "$W")"
[ "$menu_bottom" -gt $((Y + HEIGHT)) ] && HEIGHT=$((menu_bottom - Y))
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$E2E_WORK/spelling.png"
key Escape
menu_closed
with_caption "$E2E_WORK/spelling.png" "$(title)" "$out/spelling.png"
say "spelling: $out/spelling.png"

xdotool windowfocus --sync "$W"
key alt Right Right Return
wait_until has_other_window || fail "the About window did not open"
about=$(other_windows | head -n 1)
shot "$E2E_WORK/about.png" "$about"
convert "$E2E_WORK/about.png" -bordercolor '#9a9a9a' -border 1 -strip "$out/about.png"
say "About window: $out/about.png"
