#!/usr/bin/env bash
# The Windows build's tests under Wine: one Wine prefix per build folder, set up
# once (Arial and the status label's "Aril" mapped to the metric-compatible
# Liberation Sans, as Windows has Arial), one Xvfb at 96 dpi and one persistent
# wineserver for a ctest run.
#
#   wine.sh start BUILD        the session (a CTest fixture's set-up)
#   wine.sh stop BUILD         its end (the fixture's clean-up)
#   wine.sh run BUILD EXE ...  one Windows program in the session, with the Qt
#                              and MinGW runtime DLLs on its path (CTest's emulator)
#   wine.sh bare BUILD EXE ... the same with nothing on its path: a program of the
#                              shipped folder must find everything beside it
# BUILD/wine/pristine is the prefix as set up, for tests that need a fresh one.
# BUILD/wine/config.sh (written by CMake) names Wine, Qt and the runtime folders.
set -euo pipefail

[ $# -ge 2 ] || { echo "usage: $0 start|stop|run BUILD ..." >&2; exit 2; }
verb=$1 build=$(cd "$2" && pwd)
shift 2
dir=$build/wine
# shellcheck source=/dev/null
source "$dir/config.sh"
# VIDORRA_WINEPREFIX: another prefix (a test that needs a fresh one).
export WINEPREFIX=${VIDORRA_WINEPREFIX:-$dir/prefix} WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=${WINEDEBUG:--all}

# A Linux path as Windows sees it through Wine's Z: drive.
winpath() { printf 'Z:%s' "${1//\//\\}"; }

prepare_prefix() {
  [ -f "$WINEPREFIX/.vidorra-ready" ] && return 0
  rm -rf "$WINEPREFIX"
  DISPLAY= "$WINE" wineboot -i >"$dir/wineboot.log" 2>&1 || { cat "$dir/wineboot.log" >&2; return 1; }
  cat >"$dir/fonts.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Arial"="Liberation Sans"
"Aril"="Liberation Sans"
REG
  "$WINE" regedit /S "$(winpath "$dir/fonts.reg")" >>"$dir/wineboot.log" 2>&1
  "$WINESERVER" -w
  touch "$WINEPREFIX/.vidorra-ready"
  rm -rf "$dir/pristine"
  cp -a "$WINEPREFIX" "$dir/pristine"
}

start() {
  stop_session
  mkdir -p "$dir"
  prepare_prefix
  exec 3>"$dir/display"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp >"$dir/xvfb.log" 2>&1 &
  echo $! >"$dir/xvfb.pid"
  exec 3>&-
  for _ in $(seq 100); do [ -s "$dir/display" ] && break; sleep 0.05; done
  [ -s "$dir/display" ] || { echo "wine.sh: Xvfb did not start" >&2; return 1; }
  # Its own output elsewhere: CTest waits for whatever holds the test's output open.
  DISPLAY=:$(head -n 1 "$dir/display") "$WINESERVER" -p </dev/null >"$dir/wineserver.log" 2>&1
  # Wine's own services start with the first program and inherit its output:
  # started here, they hold a log open instead of a test's output.
  DISPLAY=:$(head -n 1 "$dir/display") "$WINE" cmd.exe /c exit 0 </dev/null >>"$dir/wineserver.log" 2>&1
  echo "wine.sh: prefix $WINEPREFIX, display :$(head -n 1 "$dir/display")"
}

stop_session() {
  "$WINESERVER" -k >/dev/null 2>&1 || true
  if [ -f "$dir/xvfb.pid" ]; then
    kill "$(cat "$dir/xvfb.pid")" 2>/dev/null || true
    rm -f "$dir/xvfb.pid" "$dir/display"
  fi
}

case $verb in
  start) start ;;
  stop) stop_session ;;
  run | bare)
    [ -s "$dir/display" ] || start >/dev/null
    export DISPLAY=:$(head -n 1 "$dir/display")
    unset WINEPATH QT_PLUGIN_PATH
    if [ "$verb" = run ]; then
      export WINEPATH="$(winpath "$QT_PREFIX/bin");$(winpath "$MINGW_RUNTIME_DIR");$(winpath "$MINGW_PTHREAD_DIR")"
      export QT_PLUGIN_PATH=$(winpath "$QT_PREFIX/plugins")
    fi
    # Qt Test reports to OutputDebugString where no console is attached, as
    # under Wine with a pipe for output: a Qt Test suite writes a file instead.
    imports=$("$OBJDUMP" -p "$1" 2>/dev/null | sed -n 's/^[[:space:]]*DLL Name: //p')
    own_output=
    for argument in "$@"; do [ "$argument" = -o ] && own_output=1; done
    if grep -qix 'Qt5Test.dll' <<<"$imports" && [ -z "$own_output" ]; then
      report=$(mktemp)
      status=0
      "$WINE" "$@" -o "$(winpath "$report"),txt" || status=$?
      tr -d '\r' <"$report"
      rm -f "$report"
      exit $status
    fi
    exec "$WINE" "$@"
    ;;
  *) echo "usage: $0 start|stop|run BUILD ..." >&2; exit 2 ;;
esac
