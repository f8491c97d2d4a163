#!/usr/bin/env bash
# Installs the dependencies, then builds and runs the whole test suite twice:
# a normal build and one with AddressSanitizer + UndefinedBehaviorSanitizer.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
bash "$here/scripts/install-deps.sh"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1"
export LSAN_OPTIONS="suppressions=$here/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

run_suite() {
  local dir=$1; shift
  cmake -S "$here" -B "$dir" -G Ninja "$@"
  cmake --build "$dir" -j"$jobs"
  ctest --test-dir "$dir" --output-on-failure -j"$jobs"
}

echo "== normal build =="
run_suite "$here/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
echo "== AddressSanitizer + UndefinedBehaviorSanitizer build =="
run_suite "$here/build-asan" -DCMAKE_BUILD_TYPE=Debug -DVIDORRA_SANITIZE=ON -DVIDORRA_BUILD_BENCH=OFF
