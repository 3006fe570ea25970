#!/usr/bin/env bash
# Runs a command with a private X display, D-Bus session and accessibility bus, as a desktop with
# a screen reader would offer them: Xvfb on a free display, then the accessibility bus launched and
# registered before the command starts (else D-Bus would start a second one for it), Qt's xcb
# platform with its accessibility always on.
#   with-a11y-bus.sh COMMAND [ARG...]
set -euo pipefail
if [ -z "${ZNQ_A11Y_INSIDE:-}" ]; then
  display=:$((90 + RANDOM % 400))
  Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  trap 'kill $xvfb 2>/dev/null || true' EXIT
  for _ in $(seq 1 50); do
    [ -e "/tmp/.X11-unix/X${display#:}" ] && break
    sleep 0.1
  done
  DISPLAY=$display ZNQ_A11Y_INSIDE=1 dbus-run-session -- "$0" "$@"
  exit $?
fi
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
for _ in $(seq 1 50); do
  dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
    >/dev/null 2>&1 && break
  sleep 0.1
done
export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
"$@"
