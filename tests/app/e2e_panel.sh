#!/usr/bin/env bash
# End-to-end: a user's session with the control panel of the real program in a real X window,
# driven with xdotool only (clicks, drags, typing) and read back from screenshots, which stay in
# the work folder:
#   "Radians" turns the curve into a spiral of a little over three turns; 45 typed into the
#   ray-angle field leaves eight rays; dragging the magnification bar's thumb changes the outer
#   circle; with "Orthogonal" the crosshair lines pass through the pointer and the read-outs
#   change; a zoom drag from the pop-up menu moves the bar's thumb; "Reset Diagram" brings back
#   the magnification of 0.7 and twelve rays.
#   e2e_panel.sh <program> <screenshot-check> <work-dir>
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
e2e_start "$1" "$2" "$3/panel"

# The panel starts at x = 624 of the window; the places below are the controls' own.
click() { xdo mousemove --window "$window" "$1" "$2"; xdo click 1; }
shot() { xsession_shot "$work/shot-$1.png"; }
# The magnification bar's thumb, along the middle row of the bar (window 632..873, y 128..144).
thumb() { check --thumb "$work/shot-$1.png" 648 857 136; }
# A crop of a shot, as a hash: the value box of the radial read-out.
readout() { convert "$work/shot-$1.png" -crop 46x19+772+459 +repage ppm:- | md5sum; }

read -r cx cy radius _ < <(measure start)
thumb0=$(thumb start)
echo "start: centre $cx,$cy radius $radius, magnification thumb at $thumb0"

click 790 85                                     # "Radians"
shot radians
read -r -a turns < <(check --spiral "$work/shot-radians.png")
echo "radians: crossings of eight rays with the curve: ${turns[*]}"
total=${turns[8]}
[ "$total" -ge 22 ] && [ "$total" -le 30 ] || fail "not a spiral of about 3.2 turns ($total crossings)"
rays=$(check --rays "$work/shot-radians.png")
[ "$rays" -eq 12 ] || fail "$rays rays before typing, expected 12"

click 776 252                                    # the ray-angle field
xdo key ctrl+a
xdo type --delay 100 45
shot rays45
rays=$(check --rays "$work/shot-rays45.png")
echo "45 typed: $rays rays"
[ "$rays" -eq 8 ] || fail "$rays rays, expected 8"

drag "$thumb0" 136 -6 0                          # the magnification bar's thumb, to the left
read -r cx1 cy1 radius1 _ < <(measure magnified)
thumb1=$(thumb magnified)
echo "thumb dragged to $thumb1: radius $radius1"
[ "$thumb1" -lt "$thumb0" ] || fail "the thumb did not move left"
[ "$radius1" -lt $((radius - 20)) ] || fail "the outer circle did not shrink ($radius1)"

before=$(readout magnified)
click 677 493                                    # "Orthogonal"
xdo mousemove --window "$window" 300 250
shot crosshair
read -r column row < <(check --crosshair "$work/shot-crosshair.png" 300 250)
read -r column2 row2 < <(check --crosshair "$work/shot-crosshair.png" 310 260)
echo "crosshair: black pixels in column 300: $column, in row 250: $row (10 further: $column2, $row2)"
[ "$column" -gt 200 ] && [ "$row" -gt 200 ] || fail "no crosshair lines through the pointer"
[ "$column2" -lt 20 ] && [ "$row2" -lt 20 ] || fail "the crosshair lines are not at the pointer"
[ "$(readout crosshair)" != "$before" ] || fail "the radial read-out did not change"

choose 520 80 4                                  # "Zoom"
drag 300 500 0 -150
read -r _ _ radius2 _ < <(measure zoomed)
thumb2=$(thumb zoomed)
echo "zoom drag: thumb at $thumb2, radius $radius2"
[ "$thumb2" -ge $((thumb1 + 5)) ] || fail "the magnification bar's thumb did not follow the zoom"
[ "$radius2" -gt $((radius1 + 40)) ] || fail "the outer circle did not grow"

choose 520 80 2                                  # "Reset Diagram"
read -r cx3 cy3 radius3 _ < <(measure reset)
rays=$(check --rays "$work/shot-reset.png")
echo "reset: centre $cx3,$cy3 radius $radius3, $rays rays"
near "$radius3" 218 2 || fail "radius $radius3 after the reset, expected 218 (0.7 x 624 / 2)"
[ "$rays" -eq 12 ] || fail "$rays rays after the reset, expected 12"
[ "$cx3" -eq "$cx" ] && [ "$cy3" -eq "$cy" ] || fail "the centre is not the centred one"
echo "PASS"
