#!/usr/bin/env bash
# End-to-end: the real program in a real X window. Checks the window's title, size and place, and
# the colours of its two areas in a screenshot.
#   e2e_window.sh <program> <screenshot-check> <work-dir>
set -euo pipefail
program=$1
checker=$2
work=$3
mkdir -p "$work"
here=$(cd "$(dirname "$0")" && pwd)
png="$work/window.png"
geometry=$(bash "$here/../../scripts/screenshot.sh" "$program" "$png")
echo "window geometry: $geometry"

fail() { echo "FAIL: $*" >&2; exit 1; }
size=${geometry%%+*}
[ "$size" = "883x648" ] || fail "client area is $size, expected 883x648"
# Centred on the 1280 x 1024 screen.
rest=${geometry#*+}
x=${rest%%+*}
y=${rest#*+}
[ "$x" -eq $(((1280 - 883) / 2)) ] || fail "window x is $x"
[ "$y" -eq $(((1024 - 648) / 2)) ] || fail "window y is $y"

[ "$(identify -format '%wx%h' "$png")" = "883x648" ] || fail "screenshot size"
QT_QPA_PLATFORM=offscreen "$checker" "$png" || fail "the picture"
echo "PASS"
