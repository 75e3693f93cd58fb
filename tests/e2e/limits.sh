#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Where the program says no, each time in a box titled "Vertlin" with the
# program's icon: without its table it shows the error instead of its window
# and, once the box is dismissed, ends with a failure status (a table of its
# header alone is no error); a text too long
# for the conversion a typed space sets off in auto-conversion is kept as it
# was, and the space is still typed.
. "$(dirname "$0")/lib.sh"
e2e_init
start_x

# dismiss_box WHAT: a box titled Vertlin with the program's icon is up; Enter closes it.
dismiss_box() {
    wait_until has_other_window || fail "no box: $1"
    local box
    box=$(other_windows | head -n 1)
    [ "$(xdotool getwindowname "$box")" = Vertlin ] || fail "$1: the box is titled '$(xdotool getwindowname "$box")'"
    xprop -id "$box" _NET_WM_ICON | grep -q '=' || fail "$1: the box has no icon"
    focus_window "$box"
    key Return
}

# A copy alone in a folder: it looks for vl1.ini beside its own file.
mkdir -p "$E2E_WORK/alone"
cp "$VERTLIN_BINARY" "$E2E_WORK/alone/vertlin"
"$E2E_WORK/alone/vertlin" >"$E2E_WORK/alone.out" 2>"$E2E_WORK/alone.err" &
APP_PID=$!
W=none
wait_until has_other_window || fail "no error box appeared"
[ -z "$(main_window "$APP_PID")" ] || fail "the main window is shown although the table is missing"
dismiss_box "no table"
wait_app_end
grep -q 'Ошибка 53: Файл не найден' "$E2E_WORK/alone.err" && grep -qF "Файл: $E2E_WORK/alone/vl1.ini" "$E2E_WORK/alone.err" \
    || fail "the error output does not name error 53 and the file"
[ "$APP_STATUS" -ne 0 ] || fail "the program ended with status 0 without its table"
pass "no table: a box titled Vertlin, no main window, status $APP_STATUS once dismissed"
printf 'header\r\n' >"$E2E_WORK/alone/vl1.ini"
start_app "$E2E_WORK/alone/vertlin"
kill "$APP_PID" && wait_app_end
pass "with a table of its header alone it starts"

# 32,767 characters, one more than a conversion takes, pasted from another program.
start_app
long=$(printf 'zhuk %.0s' $(seq 6554))
long=${long:0:32767}
printf '%s' "$long" >"$E2E_WORK/long.txt"
xclip -quiet -selection clipboard -i "$E2E_WORK/long.txt" >/dev/null 2>&1 &
expect_clip "$long" "another program holds the long text"
key ctrl+v
open_menu 1
key Down Down Down Return # Автоконвертация: LAT --> RUS
menu_closed
key ctrl+End space
dismiss_box "a space whose conversion fails"
menu_closed
focus_window "$W"
expect_text "$long " "a space whose conversion fails is refused in a box; the program goes on, the text kept, the space typed"
