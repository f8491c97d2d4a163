#!/usr/bin/env bash
# The Windows build's tests under Wine: prefixes set up once per build folder
# (Arial and the status label's "Aril" mapped to the metric-compatible
# Liberation Sans, as Windows has Arial), one Xvfb at 96 dpi with a window
# manager and a persistent wineserver per prefix for a ctest run. Without a
# window manager Wine waits 2 s for one whenever it hides or destroys a
# window (wait_for_withdrawn_state).
#
#   wine.sh start BUILD        the session (a CTest fixture's set-up)
#   wine.sh stop BUILD         its end (the fixture's clean-up)
#   wine.sh run BUILD EXE ...  one Windows program in the session, with the Qt
#                              and MinGW runtime DLLs on its path (CTest's emulator)
#   wine.sh bare BUILD EXE ... the same with nothing on its path: a program of the
#                              shipped folder must find everything beside it
#
# Prefixes, under BUILD/wine: "prefix" has Wine's own DirectShow (no camera);
# "camera-prefix" has the test camera (tests/windows/vcam) registered in place
# of the system device enumerator, chosen by VIDORRA_WINE_CAMERA=1; "pristine"
# is a copy of the first as set up, for tests that need a fresh one, which
# VIDORRA_WINEPREFIX names. BUILD/wine/config.sh (written by CMake) names Wine,
# Qt, the runtime folders and the test camera's DLL.
set -euo pipefail

[ $# -ge 2 ] || { echo "usage: $0 start|stop|run|bare BUILD ..." >&2; exit 2; }
verb=$1 build=$(cd "$2" && pwd)
shift 2
dir=$build/wine
# shellcheck source=/dev/null
source "$dir/config.sh"
# No Mono or Gecko installers; no Linux menu entries for shortcuts an installer makes.
export WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEDEBUG=${WINEDEBUG:--all}
if [ -n "${VIDORRA_WINEPREFIX:-}" ]; then
  export WINEPREFIX=$VIDORRA_WINEPREFIX
elif [ "${VIDORRA_WINE_CAMERA:-}" = 1 ]; then
  export WINEPREFIX=$dir/camera-prefix
else
  export WINEPREFIX=$dir/prefix
fi

# A Linux path as Windows sees it through Wine's Z: drive.
winpath() { printf 'Z:%s' "${1//\//\\}"; }

prepare_prefixes() {
  if [ ! -f "$dir/pristine/.vidorra-ready" ]; then
    rm -rf "$dir/pristine" "$dir/prefix" "$dir/camera-prefix"
    WINEPREFIX=$dir/pristine DISPLAY= "$WINE" wineboot -i >"$dir/wineboot.log" 2>&1 ||
      { cat "$dir/wineboot.log" >&2; return 1; }
    cat >"$dir/fonts.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Arial"="Liberation Sans"
"Aril"="Liberation Sans"
REG
    WINEPREFIX=$dir/pristine "$WINE" regedit /S "$(winpath "$dir/fonts.reg")" >>"$dir/wineboot.log" 2>&1
    WINEPREFIX=$dir/pristine "$WINESERVER" -w
    touch "$dir/pristine/.vidorra-ready"
  fi
  [ -d "$dir/prefix" ] || cp -a "$dir/pristine" "$dir/prefix"
  # Registered anew each session: the DLL may have been rebuilt elsewhere.
  if [ -n "${VCAM_DLL:-}" ] && [ -f "$VCAM_DLL" ]; then
    [ -d "$dir/camera-prefix" ] || cp -a "$dir/pristine" "$dir/camera-prefix"
    WINEPREFIX=$dir/camera-prefix "$WINE" regsvr32 /s "$(winpath "$VCAM_DLL")" >>"$dir/wineboot.log" 2>&1 ||
      { echo "wine.sh: the test camera could not be registered" >&2; return 1; }
    WINEPREFIX=$dir/camera-prefix "$WINESERVER" -w  # gone before serve() makes it persistent
  fi
}

# A persistent wineserver for PREFIX, with Wine's own services started here:
# they start with the first program and inherit its output, and CTest waits
# for whatever holds a test's output open.
serve() {
  WINEPREFIX=$1 "$WINESERVER" -p </dev/null >>"$dir/wineserver.log" 2>&1
  WINEPREFIX=$1 "$WINE" cmd.exe /c exit 0 </dev/null >>"$dir/wineserver.log" 2>&1
}

start() {
  stop_session
  mkdir -p "$dir"
  prepare_prefixes
  exec 3>"$dir/display"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp >"$dir/xvfb.log" 2>&1 &
  echo $! >"$dir/xvfb.pid"
  exec 3>&-
  for _ in $(seq 100); do [ -s "$dir/display" ] && break; sleep 0.05; done
  [ -s "$dir/display" ] || { echo "wine.sh: Xvfb did not start" >&2; return 1; }
  export DISPLAY=:$(head -n 1 "$dir/display")
  openbox --sm-disable </dev/null >"$dir/openbox.log" 2>&1 &
  echo $! >"$dir/openbox.pid"
  serve "$dir/prefix"
  [ ! -d "$dir/camera-prefix" ] || serve "$dir/camera-prefix"
  echo "wine.sh: prefixes under $dir, display $DISPLAY"
}

stop_session() {
  for prefix in "$dir/prefix" "$dir/camera-prefix"; do
    if [ -d "$prefix" ]; then
      WINEPREFIX=$prefix "$WINESERVER" -k >/dev/null 2>&1 || true
      WINEPREFIX=$prefix "$WINESERVER" -w >/dev/null 2>&1 || true  # gone before a new one starts
    fi
  done
  for server in openbox xvfb; do
    if [ -f "$dir/$server.pid" ]; then
      kill "$(cat "$dir/$server.pid")" 2>/dev/null || true
      rm -f "$dir/$server.pid"
    fi
  done
  rm -f "$dir/display"
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
    # A command such as "reg" is Wine's own, not a file of ours.
    imports=
    if [ -f "$1" ]; then imports=$("$OBJDUMP" -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p'); fi
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
  *) echo "usage: $0 start|stop|run|bare BUILD ..." >&2; exit 2 ;;
esac
