#!/usr/bin/env bash
# Runs the test camera's checks under Wine: registers vidorra-vcam.dll in a
# Wine prefix of its own (made on first use), names the camera's files in the
# environment, runs vcam-test.exe and dshow-probe.exe (the program's port and
# its search for the extension unit), then unregisters the camera and checks
# that Wine's device enumerator is back. The property frame needs a display: the Wine
# test session's (tests/windows/wine/wine.sh, which also runs a window
# manager) when one runs in BUILD_DIR, else a new Xvfb when there is none.
# Under CTest it is the test wine_vcam_checks.
#
#   run-vcam-checks.sh BUILD_DIR [QT_PREFIX]
#
# BUILD_DIR is a Windows build folder (tests/windows/vcam and tests/windows in
# it); QT_PREFIX a Qt for Windows, whose bin the camera's test card uses.
set -euo pipefail

WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
build=$(cd "${1:?usage: $0 BUILD_DIR [QT_PREFIX]}" && pwd)
qt=${2:-}
vcam=$build/tests/windows/vcam
work=$build/vcam-run
export WINEPREFIX=$work/prefix WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=${WINEDEBUG:--all}
export VIDORRA_VCAM_LOG=$work/log.txt VIDORRA_VCAM_STATE=$work/state.txt VIDORRA_VCAM_CONTROL=$work/control.txt

fail() {
  echo "vcam: $*" >&2
  exit 1
}

xvfb=
cleanup() {
  "$WINESERVER" -k >/dev/null 2>&1 || true
  [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT

probe=$build/tests/windows/dshow-probe.exe
for program in "$vcam/vidorra-vcam.dll" "$vcam/vcam-test.exe" "$probe"; do
  [ -f "$program" ] || fail "no $program: build it in $build first"
done
mkdir -p "$work"
rm -f "$work"/log.txt "$work"/state.txt "$work"/control.txt
if [ -z "${DISPLAY:-}" ] && [ -s "$build/wine/display" ]; then
  export DISPLAY=:$(head -n 1 "$build/wine/display")
fi
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 77 99); do
    [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -dpi 96 >"$work/xvfb.log" 2>&1 &
    xvfb=$!
    export DISPLAY=:$n
    for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.05; done
    [ -e "/tmp/.X11-unix/X$n" ] || fail "Xvfb :$n did not start"
    break
  done
fi

# Made with the display set and its wineserver ended: the desktop process a
# wineboot starts stays for the wineserver's life, and one started without a
# display leaves every window of that session to no driver.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "vcam: making the Wine prefix $WINEPREFIX"
  "$WINE" wineboot -i >/dev/null 2>&1 || fail "wineboot failed"
  "$WINESERVER" -w
fi

devenum_server() {
  "$WINE" reg query 'HKCR\CLSID\{62BE5D10-60EB-11d0-BD3B-00A0C911CE86}\InprocServer32' /ve 2>/dev/null | tr -d '\r' |
    sed -n 's/.*REG_SZ *//p'
}

# Programs built without -static find the MinGW-w64 runtime here, and Qt's libraries.
path=
for dir in ${qt:+"$qt/bin"} /usr/lib/gcc/x86_64-w64-mingw32/*-posix /usr/x86_64-w64-mingw32/lib; do
  [ -d "$dir" ] && path="$path${path:+;}$("$WINE" winepath -w "$dir" 2>/dev/null | tr -d '\r')"
done
export WINEPATH="$path"

(cd "$vcam" && "$WINE" regsvr32 /s vidorra-vcam.dll) || fail "regsvr32 vidorra-vcam.dll failed"
devenum_server | grep -qi 'vidorra-vcam.dll$' || fail "the device enumerator is not the test camera's"
echo "vcam: registered $(devenum_server)"

rc=0
(cd "$vcam" && "$WINE" vcam-test.exe </dev/null 2>"$work/vcam-test.stderr" | tr -d '\r' | tee "$work/vcam-test.txt") || rc=$?
grep -Eqx '[0-9]+ passed, 0 failed' "$work/vcam-test.txt" || rc=1

# The probe opens the first device, the USB camera, and reads its record as the program finds it.
rm -f "$VIDORRA_VCAM_STATE" "$VIDORRA_VCAM_CONTROL"
"$WINE" "$probe" </dev/null 2>/dev/null | tr -d '\r' | tee "$work/probe.txt" || rc=1
grep -q 'path "\\\\?\\usb#vid_f0f0&pid_0102' "$work/probe.txt" || { echo "vcam: the probe listed no USB camera"; rc=1; }
grep -qx 'extension unit node 2' "$work/probe.txt" && grep -qx 'device information text "SOC:V9 SIM-1.1"' "$work/probe.txt" ||
  { echo "vcam: the probe did not read the record on node 2"; rc=1; }

(cd "$vcam" && "$WINE" regsvr32 /s /u vidorra-vcam.dll) || fail "unregistering failed"
devenum_server | grep -qix 'C:\\windows\\system32\\devenum.dll' || fail "Wine's device enumerator was not put back"
echo "vcam: unregistered, $(devenum_server) is back"
exit $rc
