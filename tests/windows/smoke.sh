#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Windows program under Wine, in the caller's X server (DISPLAY) and Wine
# prefix: it shows its caption and its Russian menu bar (read by OCR, as a
# font without Cyrillic would show boxes), takes typed text, converts it with
# F3, and the text reads back through the X clipboard.
# scripts/windows.sh runs it on the unpacked release.
#   smoke.sh PROGRAM.EXE WORK_FOLDER
set -u
export LC_ALL=C.UTF-8
program=$1 work=$2
pid=
fail() {
    echo "smoke: FAIL - $*" >&2
    import -window root "$work/smoke-failed.png" 2>/dev/null
    cat "$work/app.out" >&2
    exit 1
}
pass() { echo "smoke: ok - $*"; }
# wait_until COMMAND...: polls for up to a minute (Wine starts slowly), or
# for $wait seconds.
wait=60
wait_until() {
    local end=$((SECONDS + wait))
    until "$@" >/dev/null 2>&1; do
        [ $SECONDS -lt $end ] || return 1
        sleep 0.2
    done
}
visible() { xdotool search --onlyvisible --name "$1"; }
title_has() { xdotool getwindowname "$W" | grep -qF -- "$1"; }
clip_is() { [ "$(xclip -o -selection clipboard)" = "$1" ]; }
menu_bar() {
    import -window "$W" -crop 400x24+0+0 +repage -resize 400% -colorspace Gray png:- \
        | tesseract - - -l rus --psm 7 2>/dev/null
}
menu_reads() { menu_bar | grep -q 'Конвертация Правка О программе'; }
trap '[ -n "$pid" ] && kill $pid 2>/dev/null && wait $pid 2>/dev/null' EXIT

wine "$program" >"$work/app.out" 2>&1 &
pid=$!
wait_until visible '^Vertlin v2\.0$' || fail "no main window with the caption 'Vertlin v2.0'"
W=$(visible '^Vertlin v2\.0$' | head -n 1)
pass "the window shows its caption"
wait_until menu_reads || fail "the menu bar reads '$(menu_bar)'"
pass "the menu bar reads Конвертация Правка О программе"
xdotool windowfocus --sync "$W"
xdotool type --delay 30 'zhuk i kot'
wait_until title_has 'Напечатано символов: 9)' || fail "the caption reads '$(xdotool getwindowname "$W")'"
pass "typed text is counted in the caption"
xdotool key F3 ctrl+a ctrl+c
wait_until clip_is 'жук и кот' || fail "after F3 the text reads '$(xclip -o -selection clipboard 2>&1)'"
pass "F3 converts, the text reads back through the clipboard"
