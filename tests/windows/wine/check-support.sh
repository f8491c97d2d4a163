# What the Wine check scripts share, sourced after they set check, build,
# here and wintool: a fresh work folder for the check, pass/fail counting,
# Linux paths as Windows sees them, programs run with the folder's DLLs only,
# and the test camera (tests/windows/vcam) with its files in the work folder.
work=$build/wine/checks/$check
rm -rf "$work"
mkdir -p "$work"
failures=0
pass() { echo "ok: $*"; }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
winpath() { printf 'Z:%s' "${1//\//\\}"; }
wine_bare() { bash "$here/wine.sh" bare "$build" "$@"; }
tool() { wine_bare "$wintool" "$@" | tr -d '\r'; }
use_test_camera() {
  export VIDORRA_WINE_CAMERA=1
  export VIDORRA_VCAM_LOG VIDORRA_VCAM_STATE VIDORRA_VCAM_CONTROL
  VIDORRA_VCAM_LOG=$(winpath "$work/vcam-log.txt")
  VIDORRA_VCAM_STATE=$(winpath "$work/vcam-state.txt")
  VIDORRA_VCAM_CONTROL=$(winpath "$work/vcam-control.txt")
  : >"$work/vcam-log.txt"
  : >"$work/vcam-control.txt"
}
# The test cameras attached, in list order (a switch of the camera's control file).
cameras() { printf 'present %s\n' "$*" >"$work/vcam-control.txt"; }
# How many lines the test camera has logged so far.
logged() { wc -l <"$work/vcam-log.txt"; }
# wait_for SECONDS CONDITION: true once the shell condition holds, polled every 0.1 s.
wait_for() {
  local deadline=$((SECONDS + $1))
  until eval "$2"; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.1
  done
}
