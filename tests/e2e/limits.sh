#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Where the program says no: without its table it shows the error in a box
# titled "Vertlin" instead of its window and, once the box is dismissed, ends
# with a failure status; a text too long to convert is refused in a box and
# kept as it was.
. "$(dirname "$0")/lib.sh"
e2e_init
start_x

# A copy alone in a folder: it looks for vl1.ini beside its own file.
mkdir -p "$E2E_WORK/alone"
cp "$VERTLIN_BINARY" "$E2E_WORK/alone/vertlin"
"$E2E_WORK/alone/vertlin" >"$E2E_WORK/alone.out" 2>"$E2E_WORK/alone.err" &
APP_PID=$!
W=none
wait_until has_other_window || fail "no error box appeared"
box=$(other_windows)
[ "$(xdotool getwindowname "$box")" = Vertlin ] || fail "the box is titled '$(xdotool getwindowname "$box")'"
[ -z "$(main_window "$APP_PID")" ] || fail "the main window is shown although the table is missing"
grep -q 'Ошибка 53: Файл не найден' "$E2E_WORK/alone.err" || fail "the error output does not name error 53"
focus_window "$box"
key Return
wait_app_end
[ "$APP_STATUS" -ne 0 ] || fail "the program ended with status 0 without its table"
pass "no table: a box titled Vertlin, no main window, status $APP_STATUS once dismissed"

# 32,767 characters, one more than a conversion takes, pasted from another program.
start_app
long=$(printf 'zhuk %.0s' $(seq 6554))
long=${long:0:32767}
printf '%s' "$long" >"$E2E_WORK/long.txt"
xclip -quiet -selection clipboard -i "$E2E_WORK/long.txt" >/dev/null 2>&1 &
expect_clip "$long" "another program holds the long text"
key ctrl+v F3
wait_until has_other_window || fail "no message box for a text that is too long"
box=$(other_windows | head -n 1)
[ "$(xdotool getwindowname "$box")" = Vertlin ] || fail "the box is titled '$(xdotool getwindowname "$box")'"
grep -q 'Ошибка 6' "$E2E_WORK/app.err" || fail "the error output does not name the overflow"
focus_window "$box"
key Return
menu_closed
app_ended && fail "the program ended after the error"
focus_window "$W"
expect_text "$long" "F3 on 32,767 characters is refused in a box; the program goes on, the text as it was"
