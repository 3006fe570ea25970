#!/usr/bin/env bash
# End-to-end: the mouse on the real program in a real X window, driven with xdotool only and read
# back from screenshots. Drags the text label with the default mouse action, chooses "Pan" from
# the pop-up menu and drags (the grid centre moves by the drag vector), then chooses "Zoom" and
# drags upwards (the outer circle grows as 0.65 + drag / 648 says).
#   e2e_mouse.sh <program> <screenshot-check> <work-dir>
set -euo pipefail
program=$1
checker=$2
work=$3
mkdir -p "$work"
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/xsession.sh"
trap xsession_stop EXIT
xsession_start "$program" "Polar Diagram Using Component TPolChart" "$work/mouse" || exit 1

fail() { echo "FAIL: $*" >&2; exit 1; }
xdo() { DISPLAY=$display xdotool "$@"; sleep 0.2; }
near() { local d=$(($1 - $2)); [ "${d#-}" -le "$3" ]; }

# Saves a screenshot as mouse-<name>.png and prints its "CX CY RADIUS LEFT TOP RIGHT BOTTOM".
measure() {
  xsession_shot "$work/mouse-$1.png"
  QT_QPA_PLATFORM=offscreen "$checker" --measure "$work/mouse-$1.png"
}

# A left drag in window pixels: press at (x, y), the first move one pixel down and right (where the
# drag starts), then to that point moved by (dx, dy) in four steps, release.
drag() {
  local x=$1 y=$2 dx=$3 dy=$4 i
  xdo mousemove --window "$window" "$x" "$y"
  xdo mousedown 1
  x=$((x + 1)); y=$((y + 1))
  xdo mousemove --window "$window" "$x" "$y"
  for i in 1 2 3 4; do
    xdo mousemove --window "$window" $((x + dx * i / 4)) $((y + dy * i / 4))
  done
  xdo mouseup 1
}

# Right click at (x, y) on the chart, then a click on the item with the given number (1 = "None")
# of the pop-up menu, found in a screenshot of the menu's own window.
choose() {
  local x=$1 y=$2 item=$3 menu="" row id
  xdo mousemove --window "$window" "$x" "$y"
  xdo click 3
  for _ in $(seq 1 20); do
    # The menu is the program's other visible window.
    for id in $(DISPLAY=$display xdotool search --onlyvisible --classname . 2>/dev/null || true); do
      [ "$id" != "$window" ] && [ "$(DISPLAY=$display xdotool getwindowname "$id")" = polchart-demo ] \
        && menu=$id
    done
    [ -n "$menu" ] && break
    sleep 0.1
  done
  [ -n "$menu" ] || fail "no pop-up menu appeared"
  xsession_shot "$work/menu.png" "$menu"
  row=$(QT_QPA_PLATFORM=offscreen "$checker" --rows "$work/menu.png" | sed -n "${item}p")
  [ -n "$row" ] || fail "the menu has no item $item"
  xdo mousemove --window "$menu" 40 "$row"
  xdo click 1
}

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
