#!/usr/bin/env bash
# Installs the built library into a scratch prefix and builds and runs a separate project that
# finds it with find_package; the form designer's plugin must be in Qt's plugin folder there.
#   check_install.sh <build-dir>
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
prefix="$build/install-check/prefix"
rm -rf "$build/install-check"
cmake --install "$build" --prefix "$prefix" >/dev/null
plugins=$(qtpaths6 --query QT_INSTALL_PLUGINS 2>/dev/null || echo /usr/lib/x86_64-linux-gnu/qt6/plugins)
if grep -q "ZNQ_BUILD_DESIGNER:BOOL=ON" "$build/CMakeCache.txt"; then
  plugin="$prefix/${plugins#/usr/}/designer/libznq_designer.so"
  [ -f "$plugin" ] || { echo "the designer plugin is not at $plugin" >&2; exit 1; }
fi
cmake -S "$top/tests/install_consumer" -B "$build/install-check/consumer" -G Ninja \
  -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$build/install-check/consumer" >/dev/null
QT_QPA_PLATFORM=offscreen "$build/install-check/consumer/consumer"
