#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The program as a user starts it: its window comes up centred, with its
# icon, and the caption names the product with major and minor version only.
. "$(dirname "$0")/lib.sh"
e2e_init
start_x
start_app

expect_title "Vertlin v2.0" "the start-up caption is the short version title"
name=$(xprop -id "$W" _NET_WM_NAME)
[ "$name" = '_NET_WM_NAME(UTF8_STRING) = "Vertlin v2.0"' ] && pass "desktops read the same caption" \
    || fail "_NET_WM_NAME: $name"

icons=$(xprop -id "$W" -notype _NET_WM_ICON | grep -o 'Icon ([0-9]* x [0-9]*)' | sort -u | tr '\n' ' ')
case "$icons" in
*"Icon (16 x 16)"*"Icon (32 x 32)"* | *"Icon (32 x 32)"*"Icon (16 x 16)"*) pass "the window carries its icon ($icons)" ;;
*) fail "the window icon lacks 16 and 32 pixel images: '$icons'" ;;
esac

# Centred on the 1280x800 screen, give or take a pixel of rounding.
eval "$(xdotool getwindowgeometry --shell "$W")"
dx=$((2 * X + WIDTH - 1280)) dy=$((2 * Y + HEIGHT - 800))
[ "${dx#-}" -le 2 ] && [ "${dy#-}" -le 2 ] && pass "centred on the screen (${WIDTH}x${HEIGHT}+$X+$Y)" \
    || fail "not centred: ${WIDTH}x${HEIGHT}+$X+$Y"

shot "$E2E_WORK/window.png" && pass "window picture in $E2E_WORK/window.png"
