#!/usr/bin/env bash
# End-to-end: the mouse on the real program in a real X window, driven with xdotool only and read
# back from screenshots. Drags the text label with the default mouse action, chooses "Pan" from
# the pop-up menu and drags (the grid centre moves by the drag vector), then chooses "Zoom" and
# drags upwards (the outer circle grows as 0.65 + drag / 648 says). Then a wheel step over a point
# of the curve zooms about it (the curve stays at that place, the circle grows), and
# Alt+Left brings back the picture from before the wheel, bit for bit.
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

# A point of the curve: the red pixel nearest to a point halfway out, tried on rays 15 degrees
# apart. A click there gives the chart the focus (a click without a move does nothing in the
# zoom-drag mode).
xsession_shot "$work/shot-curve.png"
qd=-1
for degrees in $(seq 0 15 345); do
  read -r px py < <(awk -v a="$degrees" -v cx="$cx4" -v cy="$cy4" -v r="$radius4" \
    'BEGIN { t = a * 3.14159265 / 180; printf "%d %d\n", cx + r / 2 * cos(t), cy - r / 2 * sin(t) }')
  read -r qx qy qd < <(check --nearest-red "$work/shot-curve.png" "$px" "$py")
  [ "$qd" -ge 0 ] && break
done
[ "$qd" -ge 0 ] || fail "no curve found halfway out"
xdo mousemove --window "$window" "$qx" "$qy"
xdo click 1
xsession_shot "$work/shot-before-wheel.png"
xdo click 4
read -r cx5 cy5 radius5 _ < <(measure wheel)
read -r _ _ d < <(check --nearest-red "$work/shot-wheel.png" "$qx" "$qy")
echo "wheel at the curve's point $qx,$qy: curve within $d px, radius $radius4 -> $radius5"
[ "$d" -ge 0 ] && [ "$d" -le 2 ] || fail "the curve left the pointer: $d px"
# The enlarged circle runs out of the window, so only its growth is checked here.
[ "$radius5" -gt "$radius4" ] || fail "the wheel did not zoom in: radius $radius5"
xdo key alt+Left
xsession_shot "$work/shot-back.png"
cmp -s "$work/shot-before-wheel.png" "$work/shot-back.png" \
  || fail "Alt+Left did not bring back the picture from before the wheel"
echo "PASS"
