#!/usr/bin/env bash
# End-to-end: the mouse on the real program in a real X window, driven with xdotool only and read
# back from screenshots. Drags the text label with the default mouse action, chooses "Pan" from
# the pop-up menu and drags (the grid centre moves by the drag vector), then chooses "Zoom" and
# drags upwards (the outer circle grows as 0.65 + drag / 648 says).
#   e2e_mouse.sh <program> <screenshot-check> <work-dir>
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
e2e_start "$1" "$2" "$3/mouse"

read -r cx cy radius left top right bottom < <(measure start)
echo "start: centre $cx,$cy radius $radius label $left,$top..$right,$bottom"
[ "$radius" -gt 150 ] || fail "no grid found"

# The label drag: the anchor (the middle of the box's bottom edge) jumps to the pointer.
drag 300 200 -121 249
read -r cx2 cy2 radius2 left top right bottom < <(measure label)
echo "label dragged to 180,450: label $left,$top..$right,$bottom"
near $(((left + right) / 2)) 180 2 || fail "label centre x $(((left + right) / 2)), expected 180"
near "$bottom" 451 2 || fail "label bottom $bottom, expected 451"
[ "$cx2" -eq "$cx" ] && [ "$cy2" -eq "$cy" ] || fail "the grid moved with the label"

choose 520 80 3
drag 400 300 40 -30
read -r cx3 cy3 radius3 _ < <(measure pan)
echo "after the pan: centre $cx3,$cy3 radius $radius3"
[ "$cx3" -eq $((cx + 40)) ] && [ "$cy3" -eq $((cy - 30)) ] \
  || fail "centre $cx3,$cy3, expected $((cx + 40)),$((cy - 30))"
[ "$radius3" -eq "$radius" ] || fail "the pan changed the radius"

choose 520 80 4
drag 400 400 0 -100
read -r cx4 cy4 radius4 _ < <(measure zoom)
expected=$(awk 'BEGIN { printf "%d", 624 * (0.65 + 100 / 648) / 2 + 0.5 }')
echo "after the zoom: centre $cx4,$cy4 radius $radius4, expected about $expected"
near "$radius4" "$expected" 2 || fail "outer radius $radius4, expected $expected"
echo "PASS"
