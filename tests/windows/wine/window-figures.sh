#!/usr/bin/env bash
# The window's figures under Wine, one program after the other in the same
# session: on DirectShow over the test camera (the camera prefix) and on the
# simulated camera. Prints each program's figure lines ("WINDOW open ...
# settings-ms=", "WINDOW first-frame ... shown-ms=", "WINDOW rate ...
# paints=") under its name; fails when either did not get through.
#
#   window-figures.sh BUILD WINDOWS_PROGRAM SIM_PROGRAM
set -uo pipefail
build=$1 windows=$2 sim=$3
here=$(cd "$(dirname "$0")" && pwd)
work=$build/wine/checks/window-figures
mkdir -p "$work"
failures=0
run() {  # NAME PROGRAM [VAR=VALUE...]
  local name=$1 program=$2
  shift 2
  env "$@" bash "$here/wine.sh" run "$build" "$program" </dev/null 2>"$work/$name.err" | tr -d '\r' >"$work/$name.out"
  local status=${PIPESTATUS[0]}
  echo "$name:"
  grep -E '^WINDOW (list|open|first-frame|flow|rate|frame|end) ' "$work/$name.out" | sed 's/^/  /'
  grep -qx 'WINDOW end status=done' "$work/$name.out" || { echo "  FAIL: $name did not get through"; failures=$((failures + 1)); }
  [ "$status" = 0 ] || { echo "  FAIL: $name ended with status $status"; failures=$((failures + 1)); }
}
run directshow "$windows" VIDORRA_WINE_CAMERA=1
run sim "$sim"
[ "$failures" = 0 ]
