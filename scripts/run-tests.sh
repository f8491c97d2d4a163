#!/usr/bin/env bash
# Installs the dependencies, then builds and runs the whole test suite twice:
# a normal build and one with AddressSanitizer + UndefinedBehaviorSanitizer.
# Both run even when the first fails, so neither result hides the other; the
# exit status is non-zero when either failed.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
bash "$here/scripts/install-deps.sh"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1"
export LSAN_OPTIONS="suppressions=$here/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

summary=()
failed=0
# run_suite NAME DIR CMAKE-ARGS...: adds one line for NAME to the summary.
run_suite() {
  local name=$1 dir=$2 out result
  shift 2
  out=$dir/ctest-output.log
  if ! cmake -S "$here" -B "$dir" -G Ninja "$@"; then
    result="FAILED (configure)"
  elif ! cmake --build "$dir" -j"$jobs"; then
    result="FAILED (build)"
  elif ctest --test-dir "$dir" --output-on-failure -j"$jobs" | tee "$out"; then
    result="ok ($(grep -m 1 'tests passed' "$out" || echo 'ctest said nothing'))"
  else
    local counts names
    counts=$(grep -m 1 'tests passed' "$out" || echo 'ctest stopped early')
    names=$(sed -n '/^The following tests FAILED:/,$ s/^[[:space:]]*[0-9]* - \([^ ]*\) .*/\1/p' "$out" | paste -sd ' ')
    result="FAILED ($counts${names:+: $names})"
  fi
  summary+=("$name: $result")
  case $result in FAILED*) failed=1 ;; esac
}

echo "== normal build =="
# Line tables only (-g1): backtraces keep their functions and lines, and the
# build takes a fifth less than with full debug information.
run_suite "normal build" "$here/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG"
echo "== AddressSanitizer + UndefinedBehaviorSanitizer build =="
run_suite "sanitizer build" "$here/build-asan" -DCMAKE_BUILD_TYPE=Debug -DVIDORRA_SANITIZE=ON -DVIDORRA_BUILD_BENCH=OFF \
  -DVIDORRA_VM_SECOND_KERNEL=OFF -DVIDORRA_VM_WINDOW=OFF

echo "== summary =="
printf '%s\n' "${summary[@]}"
exit $failed
