#!/usr/bin/env bash
# Runs a program in a real X window under its own Xvfb display. Source it, then:
#   xsession_start <program> <window-name> <log-prefix>   sets $display, $window, $app_pid
#   xsession_shot <png> [window]                           a screenshot of the window
#   xsession_stop                                          stops the program and Xvfb
# xsession_start retries up to three times when the window does not appear.

screen_w=${XSESSION_SCREEN:-1280x1024}; screen_h=${screen_w#*x}; screen_w=${screen_w%x*}
xvfb_pid=""
app_pid=""
display=""
window=""

xsession_stop() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  app_pid=""
  xvfb_pid=""
}

# Starts Xvfb on a display it picks itself (it reports the number once it is ready), then the
# program on it, and waits for the program's window.
xsession_launch() {
  local program=$1 name=$2 prefix=$3
  local displayfile="$prefix.display"
  : >"$displayfile"
  Xvfb -displayfd 3 -screen 0 "${screen_w}x${screen_h}x24" -nolisten tcp 3>"$displayfile" \
    >"$prefix.xvfb.log" 2>&1 &
  xvfb_pid=$!
  display=""
  for _ in $(seq 1 100); do
    if [ -s "$displayfile" ]; then display=":$(head -n 1 "$displayfile")"; break; fi
    kill -0 "$xvfb_pid" 2>/dev/null || return 1
    sleep 0.1
  done
  [ -n "$display" ] || return 1

  DISPLAY=$display QT_QPA_PLATFORM=xcb "$program" >"$prefix.log" 2>&1 &
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

xsession_start() {
  local attempt
  for attempt in 1 2 3; do
    if xsession_launch "$@"; then
      # Let the first paints settle.
      sleep 1
      return 0
    fi
    echo "attempt $attempt: the program's window did not appear; its output:" >&2
    cat "$3.log" >&2 || true
    xsession_stop
    window=""
  done
  return 1
}

# Waits a moment first, so that the program has handled the input sent before.
xsession_shot() {
  sleep 0.3
  DISPLAY=$display import -window "${2:-$window}" "$1"
}
