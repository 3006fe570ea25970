#!/usr/bin/env bash
# Checks that every C++ source in the tree is formatted by the project's .clang-format; lists the
# files that are not and fails. With --fix, formats them instead.
#   format-check.sh [--fix]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

if ! command -v clang-format >/dev/null; then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends clang-format
fi

mapfile -t files < <(git ls-files --cached --others --exclude-standard '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
  clang-format --style=file:.clang-format -i "${files[@]}"
  exit 0
fi
bad=0
for f in "${files[@]}"; do
  if ! clang-format --style=file:.clang-format --dry-run -Werror "$f" >/dev/null 2>&1; then
    echo "not formatted: $f (scripts/format-check.sh --fix formats it)"
    bad=1
  fi
done
exit $bad
