# SPDX-License-Identifier: MIT
# Shared by the end-to-end scenarios (sourced, not run). Each scenario gets an
# X server of its own, starts the real program in it and drives it only from
# outside: xdotool for keys and mouse, the caption and the X clipboard and
# selection for reading back. Every wait polls with a deadline, so a busy
# machine makes a scenario slower, not flaky. Whatever a scenario starts in
# the background is stopped by its process id when the scenario ends.
#
# Environment (from ctest, see CMakeLists.txt beside this file): VERTLIN_BINARY,
# the built program; E2E_WORK, a scratch directory (emptied first);
# E2E_CLOSE_WINDOW, the helper that closes a window as a
# window manager's close button does; E2E_PENDING, when set, a
# reason to skip; E2E_TIMEOUT, seconds a wait may take (20); E2E_REMOVE_WORK,
# when set, E2E_WORK goes at the end.

set -u
export LC_ALL=C.UTF-8 # ${#s} must count characters, xdotool must read UTF-8

E2E_NAME=$(basename "$0" .sh)
E2E_TIMEOUT=${E2E_TIMEOUT:-20}
XVFB_PID= APP_PID= W=

say() { printf '%s: %s\n' "$E2E_NAME" "$*"; }
pass() { say "ok - $*"; }
skip() { say "SKIP - $*"; exit 77; }
fail() {
    say "FAIL - $*" >&2
    if [ -n "$XVFB_PID" ]; then
        say "caption '$([ -z "$W" ] || title 2>&1)'; windows: $(xdotool search --onlyvisible --pid "${APP_PID:-0}" 2>/dev/null | tr '\n' ' ')" >&2
        import -window root "$E2E_WORK/failure.png" 2>/dev/null && say "screen: $E2E_WORK/failure.png" >&2
    fi
    tail -n 20 "$E2E_WORK"/*.err >&2 2>/dev/null
    exit 1
}

# Whatever happened, leave nothing running: the background jobs of this
# shell, the X server (the first of them) last.
e2e_cleanup() {
    local status=$? pid
    trap - EXIT
    for pid in $(jobs -p | tac); do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
    [ -z "${E2E_REMOVE_WORK:-}" ] || rm -rf "$E2E_WORK"
    exit "$status"
}

# wait_until [-t SECONDS] COMMAND...: polls COMMAND until it succeeds; fails
# (status 1) once the deadline has passed.
wait_until() {
    local limit=$E2E_TIMEOUT
    if [ "$1" = -t ]; then limit=$2; shift 2; fi
    local end=$((SECONDS + limit))
    until "$@" >/dev/null 2>&1; do
        [ "$SECONDS" -le "$end" ] || return 1
        sleep 0.05
    done
}

e2e_init() {
    [ -z "${E2E_PENDING:-}" ] || skip "$E2E_PENDING"
    : "${VERTLIN_BINARY:?set VERTLIN_BINARY to the built program}"
    E2E_WORK=${E2E_WORK:-${TMPDIR:-/tmp}/vertlin-e2e/$E2E_NAME}
    rm -rf "$E2E_WORK"
    mkdir -p "$E2E_WORK"
    trap e2e_cleanup EXIT
    trap 'exit 143' INT TERM HUP
    for tool in Xvfb xdotool xclip setxkbmap xdpyinfo xprop import compare; do
        command -v "$tool" >/dev/null || skip "$tool is not installed (run scripts/install-deps.sh test)"
    done
}

# start_x: an X server of our own on a display it picks itself (-displayfd),
# kept from resetting when its last client leaves (-noreset), which would drop
# the keyboard layouts. Both layouts are loaded, us active.
start_x() {
    local fdfile=$E2E_WORK/display
    : >"$fdfile"
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset \
        3>"$fdfile" >"$E2E_WORK/xvfb.log" 2>&1 &
    XVFB_PID=$!
    wait_until grep -q '^[0-9]' "$fdfile" || fail "the X server did not start"
    export DISPLAY=:$(head -n 1 "$fdfile")
    unset XAUTHORITY WAYLAND_DISPLAY
    wait_until xdpyinfo || fail "the X server on $DISPLAY does not answer"
    layout us
    export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$E2E_WORK/runtime
    mkdir -m 700 -p "$XDG_RUNTIME_DIR"
}

# layout us|ru: makes that keyboard layout the active one, the other second.
layout() {
    if [ "$1" = us ]; then setxkbmap -layout us,ru; else setxkbmap -layout ru,us; fi \
        || fail "setxkbmap: layout $1"
}

# main_window PID: the visible window of that process titled like the main window.
main_window() { xdotool search --all --onlyvisible --pid "$1" --name '^Vertlin v' 2>/dev/null | head -n 1; }
has_main_window() { [ -n "$(main_window "$APP_PID")" ]; }

# focus_window ID: what a click on a window gives it under a window manager.
focus_window() {
    timeout "$E2E_TIMEOUT" xdotool windowfocus --sync "$1" || fail "cannot focus window $1"
    wait_until focus_is "$1" || fail "window $1 does not take the focus"
}
focus_is() { [ "$(xdotool getwindowfocus)" = "$1" ]; }

# start_app [PROGRAM [ARG...]]: starts the program (default $VERTLIN_BINARY),
# waits for its main window and focuses it. Sets APP_PID and W.
start_app() {
    local program=${1:-$VERTLIN_BINARY}
    [ $# -gt 0 ] && shift
    "$program" "$@" >"$E2E_WORK/app.out" 2>"$E2E_WORK/app.err" &
    APP_PID=$!
    wait_until has_main_window || { app_ended && fail "the program ended before showing its window"; }
    W=$(main_window "$APP_PID")
    [ -n "$W" ] || fail "no main window appeared"
    focus_window "$W"
}

title() { xdotool getwindowname "$W"; }
title_is() { [ "$(title)" = "$1" ]; }
# expect_title TEXT WHAT: waits until the main window's caption is TEXT.
expect_title() { wait_until title_is "$1" && pass "$2" || fail "$2: caption '$(title)', expected '$1'"; }

# The clipboard and primary selection as another program reads them, while
# the program still runs (nobody keeps them after it ends). The primary
# selection is the screenshot script's.
clip() { timeout 5 xclip -o -selection clipboard; }
primary() { timeout 5 xclip -o -selection primary; }
clip_is() { [ "$(clip)" = "$1" ]; }

# expect_clip TEXT WHAT: waits until the clipboard holds TEXT. Polling cannot
# tell an old clipboard from a new one: never expect the same text twice in a row.
expect_clip() { wait_until clip_is "$1" && pass "$2" || fail "$2: clipboard '$(clip 2>&1)', expected '$1'"; }

# expect_text TEXT WHAT: the whole text as a user copies it (Ctrl+A, Ctrl+C).
# Leaves the caret at the end.
expect_text() { key ctrl+a ctrl+c && expect_clip "$1" "$2"; key ctrl+End; }

# The character-count caption as a key press writes it (a click writes one
# space more before the parenthesis).
key_caption() { printf 'Vertlin v2.0   ---   (Напечатано символов: %s)' "$1"; }

# Keys and characters to the focused window; X queues them in order.
key() { xdotool key -- "$@"; }
type_text() { xdotool type --delay 15 -- "$1"; }

# The program's windows other than the main one: menus, About, message boxes.
other_windows() { xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null | grep -vx "$W"; }
has_other_window() { [ -n "$(other_windows)" ]; }
no_other_window() { [ -z "$(other_windows)" ]; }

# open_menu N: opens the N-th drop-down of the menu bar (1 = "Конвертация")
# with its first item highlighted, by a tap of Alt and arrow keys.
open_menu() {
    local i
    key alt
    for ((i = 1; i < $1; i++)); do key Right; done
    key Down
    wait_until has_other_window || fail "menu $1 did not open"
}
menu_closed() { wait_until no_other_window || fail "a window other than the main one stayed open"; }

# app_ended: the program is gone, or a zombie waiting to be reaped.
app_ended() { [[ $(ps -o stat= -p "$APP_PID") == @(|Z*) ]]; }

# wait_app_end [SECONDS]: waits for the program to end; APP_STATUS is its status.
wait_app_end() {
    wait_until -t "${1:-$E2E_TIMEOUT}" app_ended || fail "the program is still running"
    APP_STATUS=0
    wait "$APP_PID" || APP_STATUS=$?
}

# shot FILE [WINDOW]: a picture of a window (default: the main window).
shot() { import -window "${2:-$W}" "$1"; }

# centred ID WHAT: the window sits in the middle of the 1280x800 screen, give
# or take a pixel of rounding. Sets WIDTH and HEIGHT.
centred() {
    eval "$(xdotool getwindowgeometry --shell "$1")"
    local dx=$((2 * X + WIDTH - 1280)) dy=$((2 * Y + HEIGHT - 800))
    [ "${dx#-}" -le 2 ] && [ "${dy#-}" -le 2 ] && pass "$2 centred (${WIDTH}x${HEIGHT}+$X+$Y)" \
        || fail "$2 not centred: ${WIDTH}x${HEIGHT}+$X+$Y"
}
