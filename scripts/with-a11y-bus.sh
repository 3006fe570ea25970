#!/usr/bin/env bash
# Runs a command with a private X display, D-Bus session and accessibility bus, as a desktop with
# a screen reader would offer them: Xvfb on a free display, then the accessibility bus launched and
# registered before the command starts (else D-Bus would start a second one for it), Qt's xcb
# platform with its accessibility always on.
#   with-a11y-bus.sh COMMAND [ARG...]
set -euo pipefail
if [ -z "${ZNQ_A11Y_INSIDE:-}" ]; then
  # Xvfb picks a free display itself and writes its number once it is ready.
  displayfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$displayfile" >/dev/null 2>&1 &
  xvfb=$!
  trap 'kill $xvfb 2>/dev/null || true; rm -f "$displayfile"' EXIT
  display=""
  for _ in $(seq 1 100); do
    if [ -s "$displayfile" ]; then display=":$(head -n 1 "$displayfile")"; break; fi
    sleep 0.1
  done
  if [ -z "$display" ]; then echo "Xvfb did not start" >&2; exit 1; fi
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
