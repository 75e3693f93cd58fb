#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The About window opens from the menu bar, leaves the main window usable,
# does not open twice, closes on a click inside it, and goes with the main
# window when that is closed.
. "$(dirname "$0")/lib.sh"
e2e_init
need_close_window
start_x
start_app

# "О программе..." is the third entry of the menu bar, a command of its own.
open_about() {
    focus_window "$W"
    key alt Right Right Return
}
about_count() { other_windows | wc -l; }
about_open() { [ "$(about_count)" -eq 1 ]; }

open_about
wait_until about_open || fail "the About window did not open"
A=$(other_windows)
eval "$(xdotool getwindowgeometry --shell "$A")"
# 4785 x 3315 twips inside a 45-twip frame: about 319 x 221 pixels at 96 dpi.
[ "$WIDTH" -ge 300 ] && [ "$WIDTH" -le 340 ] && [ "$HEIGHT" -ge 205 ] && [ "$HEIGHT" -le 240 ] \
    && pass "the About window opened (${WIDTH}x${HEIGHT})" || fail "a window of ${WIDTH}x${HEIGHT} opened"
dx=$((2 * X + WIDTH - 1280)) dy=$((2 * Y + HEIGHT - 800))
[ "${dx#-}" -le 2 ] && [ "${dy#-}" -le 2 ] && pass "centred on the screen (+$X+$Y)" \
    || fail "not centred: ${WIDTH}x${HEIGHT}+$X+$Y"
shot "$E2E_WORK/about.png" "$A"

focus_window "$W"
type_text 'zhuk'
expect_selected_text 'zhuk' "the main window takes input while About is open"

open_about
# Once the program has taken a key sent after the command, it has run it.
focus_window "$W"
type_text '!'
expect_selected_text 'zhuk!' "the program has handled About chosen again"
[ "$(about_count)" -eq 1 ] || fail "About chosen twice left $(about_count) windows"
pass "choosing About again leaves one About window"

A=$(other_windows)
xdotool mousemove --window "$A" 8 8 click 1
wait_until no_other_window || fail "a click did not close the About window"
app_ended && fail "closing About ended the program"
pass "a click closes the About window; the program goes on"

open_about
wait_until about_open || fail "the About window did not open a second time"
pass "About opens again after being closed"
close_window "$W"
wait_app_end
[ "$APP_STATUS" -eq 0 ] || fail "status $APP_STATUS"
pass "closing the main window ends the program with the About window open"
