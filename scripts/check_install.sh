#!/usr/bin/env bash
# Installs the built library into a scratch prefix and builds and runs a separate project that
# finds it with find_package.
#   check_install.sh <build-dir>
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
prefix="$build/install-check/prefix"
rm -rf "$build/install-check"
cmake --install "$build" --prefix "$prefix" >/dev/null
cmake -S "$top/tests/install_consumer" -B "$build/install-check/consumer" -G Ninja \
  -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$build/install-check/consumer" >/dev/null
QT_QPA_PLATFORM=offscreen "$build/install-check/consumer/consumer"
