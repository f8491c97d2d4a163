#!/usr/bin/env bash
# Launch-to-window-mapped times of vidorra and vidorra-sim against a bare Qt
# Widgets main window of the same size, with and without Qt's camera
# enumeration, on a private Xvfb at 96 dpi. The programs run in turn, round
# after round, so a busy machine slows all of them alike; each line gives the
# median, min and max in ms, and the last the ratio of vidorra's median to the
# bare window's with enumeration.
# Usage: bench/startup/run-startup.sh [BUILD_DIR] [ROUNDS]   (default build, 9)
# With VIDORRA_WINE_BUILD=<a Windows build folder>, the same for the Windows
# programs under Wine, each started by tests/windows/wine/wine.sh with the
# same Qt DLLs, against the Windows build's own bare window.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
rounds=${2:-9}
helper=$build/bench/startup/launch_until_mapped
programs=("$build/bench/startup/bare_window" "$build/vidorra" "$build/vidorra-sim")
launcher=
if [ -n "${VIDORRA_WINE_BUILD:-}" ]; then
  wine_build=$(cd "$VIDORRA_WINE_BUILD" && pwd)
  programs=("$wine_build/bench/startup/bare_window.exe" "$wine_build/vidorra.exe" "$wine_build/vidorra-sim.exe")
  launcher="bash $here/tests/windows/wine/wine.sh run $wine_build "
fi
for f in "$helper" "${programs[@]}"; do
  [ -f "$f" ] || { echo "missing $f: build the targets launch_until_mapped bare_window vidorra vidorra-sim" >&2; exit 2; }
done

work=$(mktemp -d)
xvfb_pid=
cleanup() {
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
if [ -n "$launcher" ]; then
  # Wine's windows go to its session's display, which wine.sh owns.
  bash "$here/tests/windows/wine/wine.sh" start "$wine_build" >/dev/null
  export DISPLAY=:$(head -n 1 "$wine_build/wine/display")
  unset QT_QPA_PLATFORM
else
  exec 3>"$work/display"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
  exec 3>&-
  [ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
  export DISPLAY=:$(head -n 1 "$work/display")
  export QT_QPA_PLATFORM=xcb
fi
unset QT_LOGGING_RULES QT_SCALE_FACTOR QT_AUTO_SCREEN_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS

names=("bare window" "bare window + cameras" "vidorra" "vidorra-sim")
commands=("$launcher${programs[0]}" "$launcher${programs[0]} --cameras" "$launcher${programs[1]}"
          "$launcher${programs[2]}")
# One run of each first, not counted: caches (fontconfig, GStreamer registry) warm.
for c in "${commands[@]}"; do $helper $c >/dev/null 2>&1 || true; done
for round in $(seq "$rounds"); do
  for i in "${!commands[@]}"; do
    # shellcheck disable=SC2086  # a command line split into its words
    if ! $helper ${commands[$i]} 2>"$work/error" >>"$work/times.$i"; then
      echo "round $round, ${names[$i]}: not counted: $(tail -n 1 "$work/error")" >&2
    fi
  done
done

median() { sort -n "$1" | awk '{v[NR]=$1} END {print (NR % 2) ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2}'; }
echo "launch to window mapped, $rounds rounds, ms (median min max)"
for i in "${!names[@]}"; do
  printf '%-24s %7.1f %7.1f %7.1f\n' "${names[$i]}" "$(median "$work/times.$i")" \
    "$(sort -n "$work/times.$i" | head -n 1)" "$(sort -n "$work/times.$i" | tail -n 1)"
done
awk -v a="$(median "$work/times.2")" -v s="$(median "$work/times.3")" -v b="$(median "$work/times.1")" \
  'BEGIN {printf "vidorra / bare window + cameras: %.3f\nvidorra-sim / bare window + cameras: %.3f\n", a / b, s / b}'
