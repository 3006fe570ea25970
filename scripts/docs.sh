#!/usr/bin/env bash
# Builds the HTML reference of the public headers with doxygen into build-docs/html/, installing
# doxygen when it is missing. Any doxygen warning fails the run.
#   docs.sh
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

if ! dpkg-query -W -f='${Status}' doxygen 2>/dev/null | grep -q "install ok installed"; then
  echo "Installing missing packages: doxygen"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends doxygen
fi

cd "$top"
mkdir -p build-docs
log=build-docs/warnings.log
# The Doxyfile makes doxygen fail on warnings; the log is checked as well, so that nothing on
# its error output passes unseen.
status=0
doxygen docs/Doxyfile 2>"$log" || status=$?
if [ "$status" -ne 0 ] || [ -s "$log" ]; then
  cat "$log" >&2
  echo "doxygen $(doxygen --version): exit status $status, $(grep -c . "$log") warning line(s)" >&2
  exit 1
fi
echo "doxygen $(doxygen --version): no warnings. Reference: $top/build-docs/html/index.html"
