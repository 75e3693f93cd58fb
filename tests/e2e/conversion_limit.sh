#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A text too long to convert: F3 shows a message box and changes nothing,
# and once the box is dismissed the program goes on with the text intact.
. "$(dirname "$0")/lib.sh"
e2e_init
start_x
start_app

# 32,767 characters, one more than a conversion takes, pasted from another
# program's clipboard.
long=$(printf 'zhuk %.0s' $(seq 6554))
long=${long:0:32767}
printf '%s' "$long" >"$E2E_WORK/long.txt"
xclip -quiet -selection clipboard -i "$E2E_WORK/long.txt" >/dev/null 2>&1 &
e2e_track $!
expect_clip "$long" "another program holds the long text"
key ctrl+v
key F3
wait_until has_other_window || fail "no message box for a text that is too long"
box=$(other_windows | head -n 1)
[ "$(xdotool getwindowname "$box")" = Vertlin ] || fail "the box is titled '$(xdotool getwindowname "$box")'"
grep -q 'Ошибка 6' "$E2E_WORK/app.err" || fail "the error output does not name the overflow: $(cat "$E2E_WORK/app.err")"
pass "F3 on 32,767 characters shows the overflow error in a box"
shot "$E2E_WORK/overflow-box.png" "$box"

focus_window "$box"
key Return
wait_until no_other_window || fail "the box did not go away"
app_ended && fail "the program ended after the error"
focus_window "$W"
expect_text "$long" "the program goes on, and the text is as it was"
