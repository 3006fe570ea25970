#!/usr/bin/env bash
# The threaded code under ThreadSanitizer: the worker threads' tests, the raster layer's (whose
# renders split over them) and the data layer's comparison with several threads mapping the data,
# in a build of their own.
#   tsan.sh [build-dir]      (default: build-tsan)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build-tsan}
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZNQ_TSAN=ON -DZNQ_WERROR=ON \
  -DZNQ_BUILD_BENCH=OFF -DZNQ_BUILD_EXAMPLES=OFF -DZNQ_BUILD_DESIGNER=OFF > /dev/null
cmake --build "$build" --target base_tests polchart_tests
export QT_QPA_PLATFORM=offscreen
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1"
"$build/tests/base_tests" --gtest_filter='Workers.*'
"$build/tests/polchart_tests" --gtest_filter='Raster.*:Sweep.*:DataRendering.ChunkedPath*'
echo "tsan: the threaded tests pass"
