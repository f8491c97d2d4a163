#!/usr/bin/env bash
# Launch-to-window-mapped times of vidorra and vidorra-sim against a bare Qt
# Widgets main window of the same size, with and without Qt's camera
# enumeration, on a private Xvfb at 96 dpi. The programs run in turn, round
# after round, so a busy machine slows all of them alike; each line gives the
# median, min and max in ms, and the last two the ratio of each window
# program's median to the bare window's with enumeration.
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
wine_session=
cleanup() {
  [ -z "$wine_session" ] || bash "$here/tests/windows/wine/wine.sh" stop "$wine_build"
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
if [ -n "$launcher" ]; then
  # Wine's windows go to its session's display, which wine.sh owns.
  # A session already running (a ctest run's) is left as it was found.
  [ -s "$wine_build/wine/display" ] || wine_session=ours
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
# Each round starts one program further on: under Wine a program's start
# depends on what the one before left running (its desktop process lingers
# for a second), and a fixed order would favour the same programs each time.
count=${#commands[@]}
for round in $(seq "$rounds"); do
  for k in $(seq 0 $((count - 1))); do
    i=$(((round + k) % count))
    # shellcheck disable=SC2086  # a command line split into its words
    if time=$($helper ${commands[$i]} 2>"$work/error"); then
      echo "$round $time" >>"$work/times.$i"
    else
      echo "round $round, ${names[$i]}: not counted: $(tail -n 1 "$work/error")" >&2
    fi
  done
done

median() { sort -n | awk '{v[NR]=$1} END {print (NR % 2) ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2}'; }
times_of() { cut -d' ' -f2 "$work/times.$1" | sort -n; }  # a program's times by its index, smallest first
echo "launch to window mapped, $rounds rounds, ms (median min max)"
for i in "${!names[@]}"; do
  printf '%-24s %7.1f %7.1f %7.1f\n' "${names[$i]}" "$(times_of "$i" | median)" "$(times_of "$i" | head -n 1)" \
    "$(times_of "$i" | tail -n 1)"
done
# Against the bare window with cameras: the ratio of the medians, and the
# median of the rounds' own ratios (a drift of the machine's speed cancels).
ratio() {
  local a b
  a=$(times_of "$1" | median) b=$(times_of 1 | median)
  printf '%s / bare window + cameras: %.3f (round by round: %.3f)\n' "${names[$1]}" "$(awk -v a="$a" -v b="$b" 'BEGIN {print a / b}')" \
    "$(awk 'NR == FNR {b[$1] = $2; next} ($1 in b) {print $2 / b[$1]}' "$work/times.1" "$work/times.$1" | median)"
}
ratio 2
ratio 3
