#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Closing the main window, as a window manager's close button does, ends
# the program at once: no question although text was typed, status 0.
. "$(dirname "$0")/lib.sh"
e2e_init
need_close_window
start_x
start_app

type_text 'nesokhranyonnyj tekst'
close_window "$W"
wait_app_end
[ "$APP_STATUS" -eq 0 ] && pass "closing the window ended the program (status 0)" \
    || fail "the program ended with status $APP_STATUS"
