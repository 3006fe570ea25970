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
}
trap cleanup EXIT

# An X server on a display nobody uses; a display that fails to come up is skipped.
display=""
for n in $(seq 90 140); do
  if [ -e "/tmp/.X${n}-lock" ] || [ -e "/tmp/.X11-unix/X${n}" ]; then continue; fi
  Xvfb ":$n" -screen 0 "${screen_w}x${screen_h}x24" -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 1 100); do
    if DISPLAY=":$n" xdpyinfo >/dev/null 2>&1; then display=":$n"; break; fi
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  [ -n "$display" ] && break
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=""
done
[ -n "$display" ] || { echo "could not start Xvfb" >&2; exit 1; }

log="${png%.png}.log"
DISPLAY=$display QT_QPA_PLATFORM=xcb "$program" >"$log" 2>&1 &
app_pid=$!

window=""
for _ in $(seq 1 150); do
  window=$(DISPLAY=$display xdotool search --onlyvisible --name "$name" 2>/dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  sleep 0.1
done
if [ -z "$window" ]; then
  echo "the program's window did not appear; its output:" >&2
  cat "$log" >&2
  exit 1
fi
# Let the first paints settle.
sleep 1

DISPLAY=$display import -window "$window" "$png"
eval "$(DISPLAY=$display xdotool getwindowgeometry --shell "$window")"
echo "${WIDTH}x${HEIGHT}+${X}+${Y}"
