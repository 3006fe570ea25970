#!/usr/bin/env bash
# Runs every test that measures time, 40 times each (or as often as given), while four busy
# processes share the machine's cores: a test that compares times must pass on a loaded machine.
#   stress-tests.sh [build-dir] [runs]
# Prints how many runs of each test failed and exits non-zero when any did.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$top/build}
runs=${2:-40}
export QT_QPA_PLATFORM=offscreen

# program:filter of each timing test
tests=(
  "numctrl_tests:DateTimePattern.LongPatternsTakeLinearTime"
  "numctrl_tests:NumberParsingRobustness.LongTextsTakeLinearTime"
  "platform_tests:CanvasWidePen.CostGrowsWithTheAreaNotTheSquareOfTheWidth"
)

busy=()
cleanup() { [ ${#busy[@]} -eq 0 ] || kill "${busy[@]}" 2>/dev/null || true; }
trap cleanup EXIT
# Two that only compute and two that stream through 64 MB buffers, evicting the caches.
for _ in 1 2; do
  ( while :; do :; done ) &
  busy+=($!)
  dd if=/dev/zero of=/dev/null bs=64M 2>/dev/null &
  busy+=($!)
done

failed_any=0
for entry in "${tests[@]}"; do
  program=${entry%%:*}
  filter=${entry#*:}
  failures=0
  for ((i = 1; i <= runs; i++)); do
    if ! out=$("$dir/tests/$program" --gtest_filter="$filter" 2>&1); then
      failures=$((failures + 1))
      echo "$out" | grep -E "Expected|Which is|ratio|Failure" | head -n 4 | sed 's/^/    /'
    fi
  done
  echo "$filter: $failures of $runs runs failed"
  [ "$failures" -eq 0 ] || failed_any=1
done
exit "$failed_any"
