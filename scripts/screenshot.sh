#!/usr/bin/env bash
# Starts a program under its own Xvfb display, waits for its window, saves a screenshot of the
# window as a PNG and stops the program again.
#   screenshot.sh <program> <png> [window-name]
# Prints the window's geometry as "WIDTHxHEIGHT+X+Y" on standard output.
set -euo pipefail

program=$1
png=$2
name=${3:-Polar Diagram Using Component TPolChart}
screen_w=1280
screen_h=1024

xvfb_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  app_pid=""
  xvfb_pid=""
}
trap cleanup EXIT

log="${png%.png}.log"
displayfile="${png%.png}.display"

# Starts Xvfb on a display it picks itself (it reports the number once it is ready), then the
# program on it, and waits for the program's window. Sets $display and $window.
launch() {
  : >"$displayfile"
  Xvfb -displayfd 3 -screen 0 "${screen_w}x${screen_h}x24" -nolisten tcp 3>"$displayfile" \
    >"${png%.png}.xvfb.log" 2>&1 &
  xvfb_pid=$!
  display=""
  for _ in $(seq 1 100); do
    if [ -s "$displayfile" ]; then display=":$(head -n 1 "$displayfile")"; break; fi
    kill -0 "$xvfb_pid" 2>/dev/null || return 1
    sleep 0.1
  done
  [ -n "$display" ] || return 1

  DISPLAY=$display QT_QPA_PLATFORM=xcb "$program" >"$log" 2>&1 &
  app_pid=$!
  window=""
  for _ in $(seq 1 150); do
    window=$(DISPLAY=$display xdotool search --onlyvisible --name "$name" 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && return 0
    kill -0 "$app_pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

window=""
for attempt in 1 2 3; do
  launch && break
  echo "attempt $attempt: the program's window did not appear; its output:" >&2
  cat "$log" >&2 || true
  cleanup
  window=""
done
[ -n "$window" ] || exit 1
# Let the first paints settle.
sleep 1

DISPLAY=$display import -window "$window" "$png"
eval "$(DISPLAY=$display xdotool getwindowgeometry --shell "$window")"
echo "${WIDTH}x${HEIGHT}+${X}+${Y}"
