#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and UndefinedBehaviorSanitizer too)
# and runs each over its committed seed corpus, then for a bounded time.
#   fuzz.sh [seconds-per-target] [build-dir]
# New inputs go to <build-dir>/corpus/<target>; the committed seeds stay as they are.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-30}
dir=${2:-$top/build-fuzz}

missing=()
for p in clang libclang-rt-14-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

CC=clang CXX=clang++ cmake -S "$top" -B "$dir" -G Ninja -DZNQ_FUZZ=ON -DZNQ_BUILD_TESTS=OFF \
  -DZNQ_BUILD_BENCH=OFF -DZNQ_BUILD_EXAMPLES=OFF -DZNQ_BUILD_DESIGNER=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$dir" -j "$(nproc)"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
for target in fuzz_numparse fuzz_numlab fuzz_helpers fuzz_numio fuzz_chart; do
  corpus="$dir/corpus/$target"
  mkdir -p "$corpus"
  echo "== $target: the seeds, then ${seconds} s"
  "$dir/fuzz/$target" -runs=0 "$top/fuzz/corpus/$target" 2>&1 | tail -n 2
  log="$dir/$target.log"
  status=0
  "$dir/fuzz/$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=4096 \
    -artifact_prefix="$dir/$target-" -print_final_stats=1 "$corpus" "$top/fuzz/corpus/$target" \
    >"$log" 2>&1 || status=$?
  grep -E "stat::number_of_executed_units|stat::peak_rss|cov:|ERROR|invariant|SUMMARY" "$log" \
    | tail -n 4 || true
  if [ "$status" -ne 0 ]; then
    # The whole report of the failure, and the input that caused it (base64), for the seeds.
    echo "== $target failed with status $status; the end of its output:"
    tail -n 120 "$log"
    for input in "$dir/$target"-crash-* "$dir/$target"-leak-* "$dir/$target"-timeout-*; do
      if [ -e "$input" ]; then echo "input $input: $(base64 -w0 "$input")"; fi
    done
    exit "$status"
  fi
done
