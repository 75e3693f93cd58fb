#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A program without its table beside it: the user sees the error in a box
# titled "Vertlin", no main window ever appears, and once the box is
# dismissed the program ends with a failure status.
. "$(dirname "$0")/lib.sh"
e2e_init
start_x

# A copy of the program alone in a directory: it looks for vl1.ini beside
# its own file, so a link would still find the built one.
mkdir -p "$E2E_WORK/alone"
cp "$VERTLIN_BINARY" "$E2E_WORK/alone/vertlin"

"$E2E_WORK/alone/vertlin" >"$E2E_WORK/app.out" 2>"$E2E_WORK/app.err" &
APP_PID=$!
e2e_track "$APP_PID"
error_box() { xdotool search --all --onlyvisible --pid "$APP_PID" --name '^Vertlin$' 2>/dev/null | head -n 1; }
has_error_box() { [ -n "$(error_box)" ]; }
wait_until has_error_box || fail "no error box appeared"
box=$(error_box)
pass "an error box titled Vertlin appeared"
[ -z "$(main_window "$APP_PID")" ] || fail "the main window is shown although the table is missing"
pass "no main window behind the error box"
grep -q 'Ошибка 53: Файл не найден' "$E2E_WORK/app.err" && grep -qF "$E2E_WORK/alone/vl1.ini" "$E2E_WORK/app.err" \
    || fail "the error output does not name the missing file: $(cat "$E2E_WORK/app.err")"
pass "the error output names error 53 and the missing file"
shot "$E2E_WORK/error-box.png" "$box"

focus_window "$box"
key Return
wait_app_end
[ "$APP_STATUS" -ne 0 ] && pass "dismissing the box ends the program with status $APP_STATUS" \
    || fail "the program ended with status 0 without its table"

# Without dialogs (VERTLIN_NO_DIALOGS=1) it ends on its own, showing nothing.
VERTLIN_NO_DIALOGS=1 "$E2E_WORK/alone/vertlin" >"$E2E_WORK/quiet.out" 2>"$E2E_WORK/quiet.err" &
APP_PID=$!
e2e_track "$APP_PID"
wait_app_end
[ "$APP_STATUS" -ne 0 ] && pass "without dialogs it ends alone with status $APP_STATUS" \
    || fail "status 0 without a table and without dialogs"
grep -q 'Ошибка 53' "$E2E_WORK/quiet.err" || fail "no error on stderr without dialogs"
pass "the error still goes to stderr"
