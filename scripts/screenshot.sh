#!/usr/bin/env bash
# Starts a program under its own Xvfb display, waits for its window, saves a screenshot of the
# window as a PNG and stops the program again.
#   screenshot.sh <program> <png> [window-name]
# Prints the window's geometry as "WIDTHxHEIGHT+X+Y" on standard output.
set -euo pipefail

program=$1
png=$2
name=${3:-Polar Diagram Using Component TPolChart}

source "$(dirname "$0")/xsession.sh"
trap xsession_stop EXIT
xsession_start "$program" "$name" "${png%.png}" || exit 1
xsession_shot "$png"
eval "$(DISPLAY=$display xdotool getwindowgeometry --shell "$window")"
echo "${WIDTH}x${HEIGHT}+${X}+${Y}"
