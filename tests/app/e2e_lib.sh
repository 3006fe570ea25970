#!/usr/bin/env bash
# Helpers of the end-to-end tests: the program runs in an X session (scripts/xsession.sh), is
# driven with xdotool only, and is read back from screenshots with the screenshot checker.
#   source e2e_lib.sh; e2e_start <program> <screenshot-check> <work-dir>
# sets $checker and $work and starts the program; it stops when the script ends.
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/xsession.sh"

e2e_start() {
  checker=$2
  work=$3
  mkdir -p "$work"
  trap xsession_stop EXIT
  xsession_start "$1" "Polar Diagram Using Component TPolChart" "$work/program" || exit 1
}

check() { QT_QPA_PLATFORM=offscreen "$checker" "$@" 2>/dev/null; }

fail() { echo "FAIL: $*" >&2; exit 1; }
xdo() { DISPLAY=$display xdotool "$@"; sleep 0.2; }
near() { local d=$(($1 - $2)); [ "${d#-}" -le "$3" ]; }

# Saves a screenshot as shot-<name>.png and prints its "CX CY RADIUS LEFT TOP RIGHT BOTTOM".
measure() {
  xsession_shot "$work/shot-$1.png"
  check --measure "$work/shot-$1.png"
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
  row=$(check --rows "$work/menu.png" | sed -n "${item}p")
  [ -n "$row" ] || fail "the menu has no item $item"
  xdo mousemove --window "$menu" 40 "$row"
  xdo click 1
}
