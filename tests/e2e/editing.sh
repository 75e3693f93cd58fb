#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Delete key runs the program's Delete command: before a line break it
# removes the whole break and joins the lines; at the very end it changes
# nothing; with a selection it removes exactly that. Paste takes the real X
# clipboard, which another program owns.
. "$(dirname "$0")/lib.sh"
e2e_init
start_x
start_app

type_text 'ab'
key Return
type_text 'cd'
key ctrl+Home End Delete
expect_text 'abcd' "Delete before a line break joins the two lines"

key ctrl+End Delete ctrl+Home Delete
expect_text 'bcd' "Delete at the end changes nothing; before a letter it removes that letter"

key ctrl+Home shift+Right shift+Right Delete
expect_text 'd' "Delete removes exactly the selection"

# Another program puts Cyrillic text on the clipboard; Ctrl+V pastes it.
printf 'ёжик в тумане' >"$E2E_WORK/clip.txt"
xclip -quiet -selection clipboard -i "$E2E_WORK/clip.txt" >/dev/null 2>&1 &
e2e_track $!
expect_clip 'ёжик в тумане' "another program owns the clipboard"
key ctrl+End ctrl+v
expect_text 'dёжик в тумане' "Ctrl+V pastes the clipboard at the caret"
