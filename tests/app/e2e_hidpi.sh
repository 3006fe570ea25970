#!/usr/bin/env bash
# End-to-end: the real program on a screen of two device pixels per logical pixel
# (QT_SCALE_FACTOR=2). The window is twice the size, and the chart is drawn at the screen's
# resolution: the outer grid circle is exactly two pixels thick where it runs straight, with the
# chart's background right beside it (no blurred edge), and edges fall between the pixels of a
# 2 x 2 block, which an enlarged picture would repeat.
#   e2e_hidpi.sh <program> <screenshot-check> <work-dir>
set -euo pipefail
export QT_SCALE_FACTOR=2 XSESSION_SCREEN=2560x1600
source "$(dirname "$0")/e2e_lib.sh"
e2e_start "$1" "$2" "$3/hidpi"

xsession_shot "$work/shot.png"
read -r w h left top clean mixed < <(check --thickness "$work/shot.png")
echo "window ${w}x${h}; outer circle $left px thick at its left, $top px at its top; clean edges:" \
  "$clean; 2 x 2 blocks of more than one colour: $mixed"
[ "$w" -eq 1766 ] && [ "$h" -eq 1296 ] || fail "window ${w}x${h}, expected 1766x1296"
[ "$left" -eq 2 ] && [ "$top" -eq 2 ] || fail "the circle is $left and $top px thick, expected 2"
[ "$clean" -eq 1 ] || fail "blended pixels beside the circle"
# An enlarged picture has none; lines and text drawn at the device's resolution have thousands.
[ "$mixed" -gt 1000 ] || fail "the chart looks enlarged from half the resolution"
echo "PASS"
