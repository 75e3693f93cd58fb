#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The caption counts the characters typed, one key behind: each key press
# shows the length of the text before that key lands. A line break counts
# two. A click in the text shows the current length, with one space more
# after the hyphens; the next key press brings the key form back.
. "$(dirname "$0")/lib.sh"
e2e_init
start_x
start_app

expect_title "Vertlin v2.0" "before any key the caption is the start-up one"

# Latin, Cyrillic and a space (no auto-conversion is on, so it converts
# nothing), one key at a time.
n=0
for c in z h u k ' ' ж у к Ё; do
    type_text "$c"
    wait_until title_is "$(key_caption $n)" || fail "after typing '$c' the caption is '$(title)', expected '$(key_caption $n)'"
    n=$((n + 1))
done
pass "each key shows the length before it: 0 to $((n - 1)) over Latin, space and Cyrillic"

key Return
expect_title "$(key_caption $n)" "Enter shows the length before the line break"
n=$((n + 2))
type_text 'x'
expect_title "$(key_caption $n)" "the line break counted two"
n=$((n + 1))

key BackSpace
expect_title "$(key_caption $n)" "Backspace shows the length before it removes a character"
n=$((n - 1))

xdotool mousemove --window "$W" 300 200 click 1
expect_title "$(click_caption $n)" "a click shows the current length, four spaces after the hyphens"
type_text 'y'
expect_title "$(key_caption $n)" "the next key brings back the key form"
