# SPDX-License-Identifier: MIT
# Shared by the end-to-end scenarios (sourced, not run). Each scenario gets an
# X server of its own, starts the real program in it and drives it only from
# outside: xdotool for keys and mouse, the window title and the X clipboard
# and selection for reading back, ImageMagick's import for pictures.
#
# Every wait polls with a deadline; nothing relies on a fixed sleep, so a busy
# machine makes a scenario slower, not flaky. Everything a scenario starts is
# stopped by its process id when the scenario ends, however it ends.
#
# Environment (set by ctest, see CMakeLists.txt beside this file):
#   VERTLIN_BINARY    the built program
#   E2E_WORK          a scratch directory for logs and pictures (emptied first)
#   E2E_CLOSE_WINDOW  the helper that closes a window (e2e-close-window)
#   E2E_PENDING       when not empty, the scenario is skipped with this reason
#   E2E_TIMEOUT       seconds any single wait may take (default 20)
#   E2E_REMOVE_WORK   when not empty, E2E_WORK is removed at the end

set -u
export LC_ALL=C.UTF-8 # ${#s} must count characters, xdotool must read UTF-8

readonly E2E_SKIP=77
E2E_NAME=$(basename "$0" .sh)
E2E_TIMEOUT=${E2E_TIMEOUT:-20}
E2E_PIDS=()      # started by this scenario, stopped in reverse order
XVFB_PID=
APP_PID=
W=               # the main window's X id

say() { printf '%s: %s\n' "$E2E_NAME" "$*"; }
pass() { say "ok - $*"; }
skip() { say "SKIP - $*"; exit "$E2E_SKIP"; }
fail() {
    say "FAIL - $*" >&2
    e2e_diagnose >&2
    exit 1
}

# Whatever happened, leave nothing running. Programs first, the X server last,
# so nothing dies of a lost display while we still wait for it.
e2e_cleanup() {
    local status=$? i pid
    trap - EXIT INT TERM HUP
    for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do
        pid=${E2E_PIDS[i]}
        kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    done
    if [ -n "$XVFB_PID" ]; then
        kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
    fi
    [ -z "${E2E_REMOVE_WORK:-}" ] || rm -rf "$E2E_WORK"
    exit "$status"
}

# e2e_track PID: stop this process when the scenario ends.
e2e_track() { E2E_PIDS+=("$1"); }

# e2e_forget PID: the process has ended and been waited for.
e2e_forget() {
    local keep=() pid
    for pid in "${E2E_PIDS[@]}"; do [ "$pid" = "$1" ] || keep+=("$pid"); done
    E2E_PIDS=("${keep[@]+"${keep[@]}"}")
}

e2e_diagnose() {
    [ -n "${DISPLAY:-}" ] && [ -n "$XVFB_PID" ] || return 0
    echo "--- title: $( [ -n "$W" ] && xdotool getwindowname "$W" 2>&1)"
    if [ -n "$APP_PID" ]; then
        echo "--- visible windows of the program:"
        xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null | while read -r id; do
            echo "    $id $(xdotool getwindowname "$id" 2>/dev/null) $(xdotool getwindowgeometry "$id" 2>/dev/null | tr '\n' ' ')"
        done
    fi
    import -window root "$E2E_WORK/failure.png" 2>/dev/null && echo "--- screen: $E2E_WORK/failure.png"
    for f in "$E2E_WORK"/*.err; do
        [ -s "$f" ] && { echo "--- $f:"; tail -n 20 "$f"; }
    done
    return 0
}

# process_ended PID: gone, or a zombie waiting to be reaped.
process_ended() {
    local state
    state=$(ps -o stat= -p "$1" 2>/dev/null) || return 0
    [ "${state#Z}" != "$state" ]
}

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# wait_until [-t SECONDS] COMMAND...: polls COMMAND until it succeeds.
# Fails (status 1) once the deadline has passed; WAITED_MS tells how long it took.
wait_until() {
    local limit=$E2E_TIMEOUT
    if [ "$1" = -t ]; then limit=$2; shift 2; fi
    local start end
    start=$(now_ms)
    end=$((start + limit * 1000))
    while :; do
        if "$@" >/dev/null 2>&1; then WAITED_MS=$(($(now_ms) - start)); return 0; fi
        if [ "$(now_ms)" -gt "$end" ]; then WAITED_MS=$(($(now_ms) - start)); return 1; fi
        sleep 0.05
    done
}

# e2e_need TOOL...: skip when a tool of the X test kit is not installed
# (scripts/install-deps.sh test installs them all).
e2e_need() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || skip "$tool is not installed (run scripts/install-deps.sh test)"
    done
}

# need_close_window: the helper that closes a window like a window manager.
need_close_window() {
    [ -n "${E2E_CLOSE_WINDOW:-}" ] && [ -x "$E2E_CLOSE_WINDOW" ] \
        || skip "e2e-close-window was not built (install libx11-dev)"
}

# close_window WINDOW: what a window manager's close button does.
close_window() { "$E2E_CLOSE_WINDOW" "$1" || fail "cannot send the close request to $1"; }

# e2e_init: scratch directory, traps, the skip for work that is not there yet.
e2e_init() {
    [ -z "${E2E_PENDING:-}" ] || skip "$E2E_PENDING"
    : "${VERTLIN_BINARY:?set VERTLIN_BINARY to the built program}"
    E2E_WORK=${E2E_WORK:-${TMPDIR:-/tmp}/vertlin-e2e/$E2E_NAME}
    rm -rf "$E2E_WORK"
    mkdir -p "$E2E_WORK"
    trap e2e_cleanup EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM HUP
    e2e_need Xvfb xdotool xclip setxkbmap xdpyinfo import
}

# start_x: an X server of our own on a display it picks itself (-displayfd
# avoids two scenarios racing for the same number), kept from resetting when
# its last client leaves (-noreset), which would drop the keyboard layouts.
# Both layouts are loaded so that xdotool can type Cyrillic without remapping
# keys under the program's feet.
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
    setxkbmap -layout us,ru || fail "setxkbmap -layout us,ru"
    export QT_QPA_PLATFORM=xcb
    export XDG_RUNTIME_DIR=$E2E_WORK/runtime
    mkdir -m 700 -p "$XDG_RUNTIME_DIR"
}

# main_window PID: the visible window of that process whose title is one of
# the main window's captions.
main_window() {
    xdotool search --all --onlyvisible --pid "$1" --name '^Vertlin v' 2>/dev/null | head -n 1
}

has_main_window() { [ -n "$(main_window "$APP_PID")" ]; }

# focus_window ID: gives a window the keyboard focus, as clicking on it
# would under a window manager.
focus_window() {
    timeout "$E2E_TIMEOUT" xdotool windowfocus --sync "$1" || fail "cannot focus window $1"
    wait_until focus_is "$1" || fail "window $1 does not take the focus"
}
focus_is() { [ "$(xdotool getwindowfocus)" = "$1" ]; }

# start_app [PROGRAM [ARG...]]: starts the program (default $VERTLIN_BINARY),
# waits for its main window and gives it the keyboard focus. Sets APP_PID, W.
# There is no window manager, so the focus has to be given explicitly.
start_app() {
    local program=${1:-$VERTLIN_BINARY}
    [ $# -gt 0 ] && shift
    local t0
    t0=$(now_ms)
    "$program" "$@" >"$E2E_WORK/app.out" 2>"$E2E_WORK/app.err" &
    APP_PID=$!
    e2e_track "$APP_PID"
    wait_until has_main_window
    W=$(main_window "$APP_PID")
    if [ -z "$W" ]; then
        app_ended && fail "the program ended before showing its window"
        fail "no main window appeared"
    fi
    focus_window "$W"
    say "main window $W up in $(($(now_ms) - t0)) ms"
}

# The main window's title, read from the X server.
title() { xdotool getwindowname "$W"; }

# expect_title TEXT WHAT: waits until the title is exactly TEXT.
expect_title() {
    if wait_until title_is "$1"; then
        pass "$2"
    else
        fail "$2: title is '$(title)', expected '$1'"
    fi
}
title_is() { [ "$(title)" = "$1" ]; }

# The X clipboard and primary selection, as another program reads them.
# Read them while the program runs: nobody keeps them after it ends.
# A program that never answers must not hang the scenario.
clip() { timeout 5 xclip -o -selection clipboard; }
primary() { timeout 5 xclip -o -selection primary; }
clip_is() { [ "$(clip)" = "$1" ]; }

# expect_clip TEXT WHAT: waits until the clipboard holds exactly TEXT.
# Polling cannot tell an old clipboard from a new one, so a scenario never
# expects the same text twice in a row.
expect_clip() {
    if wait_until clip_is "$1"; then
        pass "$2"
    else
        fail "$2: clipboard holds '$(clip 2>&1)', expected '$1'"
    fi
}

# expect_text TEXT WHAT: the whole text, read back as the user would copy
# it: Ctrl+A, Ctrl+C, then the clipboard.
expect_text() {
    key ctrl+a ctrl+c
    expect_clip "$1" "$2"
}

# expect_selected_text TEXT WHAT: the whole text, read back through the X
# primary selection that a keyboard selection fills, so without the program's
# own copy command. Leaves the caret at the end of the text.
primary_is() { [ "$(primary)" = "$1" ]; }
expect_selected_text() {
    key ctrl+End ctrl+shift+Home
    wait_until primary_is "$1" && pass "$2" || fail "$2: the text reads '$(primary 2>&1)', expected '$1'"
    key ctrl+End
}

# The two forms of the character-count caption: written on a key press, and
# (one space more) on a click in the text.
key_caption() { printf 'Vertlin v2.0   ---   (Напечатано символов: %s)' "$1"; }
click_caption() { printf 'Vertlin v2.0   ---    (Напечатано символов: %s)' "$1"; }

# key KEY...: key strokes to the focused window; type TEXT: characters.
# The program may still be busy with earlier ones; X queues them in order.
key() { xdotool key -- "$@"; }
type_text() { xdotool type --delay 15 -- "$1"; }

# Windows of the program other than the main one: menus and the About window.
other_windows() {
    xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null | grep -vx "$W"
}
has_other_window() { [ -n "$(other_windows)" ]; }
no_other_window() { [ -z "$(other_windows)" ]; }

# open_menu N: opens the N-th drop-down of the menu bar (1 = "Конвертация")
# with its first item highlighted. Alt alone enters the menu bar; Alt with a
# Cyrillic access letter cannot be typed with the us,ru layouts.
open_menu() {
    local i
    key alt
    for ((i = 1; i < $1; i++)); do key Right; done
    key Down
    wait_until has_other_window || fail "menu $1 did not open"
}

# menu_closed: waits until no drop-down is left open.
menu_closed() { wait_until no_other_window || fail "a menu stayed open"; }

# wait_app_end [SECONDS]: waits for the program to end and sets APP_STATUS
# to its exit status. Fails when it keeps running.
app_ended() { process_ended "$APP_PID"; }
wait_app_end() {
    wait_until -t "${1:-$E2E_TIMEOUT}" app_ended || fail "the program is still running"
    APP_STATUS=0
    wait "$APP_PID" || APP_STATUS=$?
    e2e_forget "$APP_PID"
}

# shot FILE [WINDOW]: a picture of a window (default: the main window).
# Popup menus are windows of their own: take the root window for those.
shot() { import -window "${2:-$W}" "$1"; }

# install_into PREFIX: `cmake --install` of the tested build into PREFIX.
install_into() {
    : "${E2E_BUILD_DIR:?}" "${E2E_CMAKE:?}"
    "$E2E_CMAKE" --install "$E2E_BUILD_DIR" --prefix "$1" >"$E2E_WORK/install.log" 2>&1 \
        || fail "cmake --install failed: $(cat "$E2E_WORK/install.log")"
}
