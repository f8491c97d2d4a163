# What the Wine check scripts share, sourced after they set check, build,
# here and wintool: a fresh work folder for the check, pass/fail counting,
# Linux paths as Windows sees them, programs run with the folder's DLLs only,
# and the test camera (tests/windows/vcam) with its files in the work folder.
# shellcheck source=/dev/null
source "$build/wine/config.sh"
work=$build/wine/checks/$check
rm -rf "$work"
mkdir -p "$work"
failures=0
# Runs check_$check and ends with its verdict.
run_check() { "check_$check"; echo "$check: $failures failed"; [ "$failures" = 0 ]; }
pass() { echo "ok: $*"; }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
winpath() { printf 'Z:%s' "${1//\//\\}"; }
wine_bare() { bash "$here/wine.sh" bare "$build" "$@"; }
# The same for `wine_exec ... &`: the subshell becomes wine.sh, which becomes
# Wine, so $! is the Windows program's own process and ending it ends the program.
wine_exec() { exec bash "$here/wine.sh" bare "$build" "$@"; }
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
# The camera's control file, replaced whole (a new file renamed over it) as
# the camera may read it at any moment: LINE... one a line.
control() {
  printf '%s\n' "$@" >"$work/vcam-control.txt.new"
  mv -f "$work/vcam-control.txt.new" "$work/vcam-control.txt"
}
# The test cameras attached, in list order.
cameras() { control "present $*"; }
# How many lines the test camera has logged so far.
logged() { wc -l <"$work/vcam-log.txt"; }
# The extension-unit transfers the camera logged from line FROM on (to line TO),
# one a line: "CAM SET ID BYTES" or "CAM GET ID" (the size queries, len=0, left out).
transfers() {
  sed -n "$1,${2:-\$}p" "$work/vcam-log.txt" | tr -d '\r' | awk '/^ks / {
      delete f
      for (i = 2; i <= NF; i++) { n = index($i, "="); f[substr($i, 1, n - 1)] = substr($i, n + 1) }
      if (f["flags"] == "0x10000002") print f["cam"], "SET", f["id"], f["bytes"]
      else if (f["flags"] == "0x10000001" && f["len"] != "0") print f["cam"], "GET", f["id"]
    }'
}
# wait_for SECONDS CONDITION [POLL]: true once the shell condition holds, polled every POLL s (0.1).
wait_for() {
  local deadline=$((SECONDS + $1))
  until eval "$2"; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep "${3:-0.1}"
  done
}
# How many lines of FILE (a Windows program's, CR LF) match PATTERN; 0 before it exists.
count_lines() { tr -d '\r' <"$1" 2>/dev/null | grep -c -- "$2" || true; }
# wait_line FILE PATTERN COUNT: waits (20 s at most) for the COUNT-th line of FILE
# matching PATTERN and prints the Unix time in ms when it was seen.
wait_line() {
  local file=$1 pattern=$2 count=$3
  wait_for 20 '[ "$(count_lines "$file" "$pattern")" -ge "$count" ]' 0.01 && date +%s%3N
}
# ends PID WHAT CAUSE: the process PID (one this check started) ends within
# 10 s of CAUSE with status 0. False only when it did not end; it is ended then.
ends() {
  local pid=$1 status=0
  if ! wait_for 10 '! kill -0 "$pid" 2>/dev/null'; then
    fail "$2 did not end within 10 s of $3"
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    return 1
  fi
  wait "$pid" || status=$?
  [ "$status" = 0 ] && pass "$2 ended with status 0 on $3" || fail "$2 ended with status $status on $3"
}

# Installers run in a prefix of the check's own, fresh from the pristine one
# ($fresh), whose every process the check ends with end_fresh.
fresh_prefix() {
  fresh=$build/wine/$check-prefix
  rm -rf "$fresh"
  cp -a "$build/wine/pristine" "$fresh"
}
run_fresh() { VIDORRA_WINEPREFIX=$fresh wine_bare "$@"; }
fresh_tool() { VIDORRA_WINEPREFIX=$fresh tool "$@"; }
end_fresh() { WINEPREFIX=$fresh "$WINESERVER" -k 2>/dev/null || true; }
# The uninstaller copies itself to a temporary folder and returns at once:
# whether it removed FOLDER within 10 s.
uninstalled() { local dir=$1; wait_for 10 '[ ! -e "$dir" ]'; }
# absent PASS FAIL COMMAND...: passes when COMMAND finds nothing (status 1),
# fails when it finds it (0) or could not look (any other status).
absent() {
  local status=0
  "${@:3}" >/dev/null || status=$?
  case $status in 1) pass "$1" ;; 0) fail "$2" ;; *) fail "$1: could not be checked (status $status)" ;; esac
}
# Where an install goes unless told otherwise.
default_folder() { echo "$fresh"/drive_c/users/*/AppData/Local/Programs/Vidorra; }
# A key of the user's hive as reg exports it (wineserver saves user.reg only
# when it ends, which it does not while a program runs; Wine's reg prints
# nothing into a pipe).
hkcu() {
  rm -f "$work/export.reg"
  run_fresh reg export "HKCU\\$1" "$(winpath "$work/export.reg")" /y >/dev/null 2>&1 ||
    { echo "reg could not export HKCU\\$1" >&2; return 1; }
  iconv -f UTF-16LE -t UTF-8 "$work/export.reg" 2>/dev/null | tr -d '\r'
}
# in_hkcu KEY TEXT: the lines of the exported KEY holding TEXT (any case);
# status 1 without one, 2 when reg itself failed.
in_hkcu() {
  local key
  key=$(hkcu "$1") || return 2
  grep -iF -- "$2" <<<"$key"
}
# Whether the user's hive holds the uninstall registration NAME.
registration() {
  in_hkcu 'Software\Microsoft\Windows\CurrentVersion' \
    "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$1]" >/dev/null
}
# The value NAME of the uninstall registration ("" without one), unquoted.
registered() {
  hkcu 'Software\Microsoft\Windows\CurrentVersion\Uninstall\Vidorra' | sed -n "s/^\"$1\"=\"\(.*\)\"$/\1/p" |
    sed 's/\\\\/\\/g'
}
# Every file of FOLDER but the uninstaller, with its checksum.
manifest() { (cd "$1" && find . -type f ! -name Uninstall.exe -exec md5sum {} + | sort -k 2); }

# An installer of the next version (1.2) whose every file differs from the
# folder's, made again whenever the installer is: $next.
next_setup() {
  next=$build/wine/next-setup.exe
  next_stage=$build/wine/next-stage
  [ "$next" -nt "$setup" ] && return
  local packaging
  packaging=$(cd "$here/../../../packaging/windows" && pwd)
  rm -rf "$next_stage"
  cp -a "$folder" "$next_stage"
  find "$next_stage" -type f -print0 | while IFS= read -r -d '' f; do printf '1.2' >>"$f"; done
  cmake -DSTAGE="$next_stage" -DWORK="$build/wine" -DMAKENSIS="$MAKENSIS" -DSCRIPT="$packaging/installer.nsi" \
    -DVERSION=1.2 -DOUTFILE="$next" -P "$packaging/MakeInstaller.cmake" >"$work/makensis.log" 2>&1 ||
    { cat "$work/makensis.log"; return 1; }
}
