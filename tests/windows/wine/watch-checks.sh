#!/usr/bin/env bash
# vidorra-ctl.exe's remembered settings on the test camera under Wine: apply,
# watch (camera arrivals and wakes from sleep sent as Windows sends them,
# since Wine's own device manager announces no test camera and Wine never
# sleeps), its ends, vidorra-watch.exe and its log, and the installer's option
# that starts it at logon. What reached the camera is read from its call log
# (tests/windows/vcam/CallLog.h).
#
#   watch-checks.sh CHECK BUILD FOLDER WINTOOL SETUP
set -euo pipefail
check=$1 build=$2 folder=$3 wintool=$4 setup=$5
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=check-support.sh
source "$here/check-support.sh"
use_test_camera
prefix=$build/wine/camera-prefix
ctl() { wine_bare "$folder/vidorra-ctl.exe" "$@" 2>&1 | tr -d '\r'; }

# The first test camera's path, as DirectShow lists it and as Windows
# broadcasts it (in capitals).
usb1='\\?\usb#vid_f0f0&pid_0102&mi_00#7&1a2b3c4d&0&0000#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\global'
usb1_broadcast='\\?\USB#VID_F0F0&PID_0102&MI_00#7&1A2B3C4D&0&0000#{65E8773D-8F56-11D0-A3B9-00A0C9223196}\global'
# The product's control table has a witness here: the selectors of the
# settings a remembered file holds, H.264 (18) and audio (26) aside.
expected_ids="6 7 10 11 12 13 14 15 24 25"

# What the user remembered is theirs to keep between checks, not here.
rm -rf "$prefix"/drive_c/users/*/AppData/Local/vidorra
cameras usb1 usb2 integrated

# The SETs that reached CAMERA in the camera's log from line FROM on (to line TO): "id=bytes", one a line.
sets() { transfers "${2:-1}" "${3:-}" | awk -v cam="$1" '$1 == cam && $2 == "SET" { print $3 "=" $4 }'; }
set_ids() { sets "$@" | cut -d= -f1 | sort -n | tr '\n' ' ' | sed 's/ $//'; }

remember_usb1() {
  local status=0
  ctl --device "$usb1" remember >"$work/remember.txt" || status=$?
  [ "$status" = 0 ] && grep -q '^remembered the settings of ' "$work/remember.txt" && pass "remember on the test camera" ||
    { fail "remember ended with status $status"; cat "$work/remember.txt"; return 1; }
}

check_apply() {
  remember_usb1 || return
  ctl --device "$usb1" set nr2d=5 red-gain=3 >/dev/null || fail "set on the test camera failed"
  local from status
  from=$(($(logged) + 1))
  ctl --device "$usb1" apply >"$work/apply.txt" && status=0 || status=$?
  [ "$status" = 0 ] && pass "apply ended with status 0" || fail "apply ended with status $status"
  [ "$(set_ids usb1 "$from")" = "$expected_ids" ] && pass "apply sent each remembered setting once" ||
    fail "apply sent SETs of $(set_ids usb1 "$from"), not $expected_ids"
  sets usb1 "$from" | grep -qx '6=03' && sets usb1 "$from" | grep -qx '15=00' &&
    pass "nr2d and red-gain went back to their remembered 3 and 0" || fail "the SETs carry other values"
  [ -z "$(sets usb2 "$from")" ] && pass "nothing reached the other camera" || fail "the other camera got SETs"
  [ "$(ctl --device "$usb1" get nr2d red-gain | tr '\n' ' ')" = "nr2d=3 red-gain=0 " ] &&
    pass "the camera holds the remembered values" || fail "the camera does not hold the remembered values"
}

# Starts PROGRAM (vidorra-ctl.exe watch or vidorra-watch.exe) and waits for its device window.
watch_pid=
start_watch() {
  wine_exec "$folder/$1" "${@:2}" >"$work/watch.out" 2>"$work/watch.err" </dev/null &
  watch_pid=$!
  tool hidden VidorraDeviceWatch 60 || { fail "$1: no device window within 60 s"; return 1; }
}

# The watch must end within 10 s of WHAT with status 0 and log "stopped (REASON)" in LOG.
expect_end() {
  ends "$watch_pid" "the watch" "$1" || return 0
  tr -d '\r' <"$3" | grep -q "stopped ($2)" && pass "it logged 'stopped ($2)'" || fail "no 'stopped ($2)' in its log"
}

# N appearances of usb1 while usb2 stays: each a removal and an arrival as
# Windows announces them, the camera gone from the enumerator in between; then
# the watch is ended with WM_CLOSE, so that a SET sent late still shows in its
# round. LOG is where the watch writes; the times go to $work/times.txt.
appearances() {
  local n=$1 log=$2 done_before sent seen bad=0 i starts=()
  : >"$work/times.txt"
  for i in $(seq "$n"); do
    done_before=$(count_lines "$log" 'put back [0-9]')
    starts+=($(($(logged) + 1)))
    cameras usb2 integrated
    tool devicechange VidorraDeviceWatch 0x8004 "$usb1_broadcast" >/dev/null || fail "the removal was not taken"
    wait_for 10 'tail -n +"${starts[-1]}" "$work/vcam-log.txt" | grep -qx "list cams=usb2,integrated"' ||
      { fail "appearance $i: the watch did not list the cameras after the removal"; break; }
    cameras usb1 usb2 integrated
    sent=$(tool devicechange VidorraDeviceWatch 0x8000 "$usb1_broadcast") || { fail "the arrival was not taken"; break; }
    seen=$(wait_line "$log" 'put back [0-9]' $((done_before + 1))) || { fail "appearance $i: nothing put back in 20 s"; break; }
    echo $((seen - sent)) >>"$work/times.txt"
  done
  tool close VidorraWatch || fail "WM_CLOSE was not posted"
  expect_end WM_CLOSE WM_CLOSE "$log"
  [ "$(wc -l <"$work/times.txt")" = "$n" ] || return 0
  starts+=($(($(logged) + 1)))
  for i in $(seq "$n"); do
    local round=("usb1" "${starts[i - 1]}" $((starts[i] - 1)))
    [ "$(set_ids "${round[@]}")" = "$expected_ids" ] || { bad=$((bad + 1)); echo "appearance $i: $(set_ids "${round[@]}")"; }
    [ -z "$(sets usb2 "${round[@]:1}")" ] || { bad=$((bad + 1)); echo "appearance $i: usb2 got SETs"; }
  done
  [ "$bad" = 0 ] && pass "$n appearances: each remembered setting once each time, none to the other camera, no H.264 or audio" ||
    fail "$bad appearances sent other SETs"
}

# The times of $work/times.txt; WHAT names one of them ("appearance", "resume").
timings() {
  sort -n "$work/times.txt" | awk -v what="${1:-appearance}" '{ t[NR] = $1 } END {
    p90 = int((NR * 9 + 9) / 10); if (p90 > NR) p90 = NR
    printf "%s to the last remembered SET over %d %ss: min %d, median %d, p90 %d, max %d ms\n", what,
      NR, what, t[1], (NR % 2 ? t[(NR + 1) / 2] : int((t[NR / 2] + t[NR / 2 + 1]) / 2)), t[p90], t[NR] }' |
    tee "$work/timings.txt"
}

check_watch() {
  remember_usb1 || return
  ctl --device "$usb1" set nr2d=5 >/dev/null || fail "set on the test camera failed"
  local from
  from=$(($(logged) + 1))
  start_watch vidorra-ctl.exe watch || return
  wait_line "$work/watch.err" 'put back [0-9]' 1 >/dev/null && pass "watch put the settings back on the camera already there" ||
    fail "nothing put back at start"
  [ "$(set_ids usb1 "$from")" = "$expected_ids" ] && pass "at start: each remembered setting once" ||
    fail "at start: SETs of $(set_ids usb1 "$from")"
  ctl remembered >"$work/remembered.txt" || fail "remembered ended with a failure"
  grep -q 'watch is running' "$work/remembered.txt" && pass "remembered says the watch runs" ||
    fail "remembered does not say the watch runs"
  appearances 20 "$work/watch.err"
  timings
  ctl remembered >"$work/remembered.txt" || fail "remembered ended with a failure"
  grep -q 'watch is not running' "$work/remembered.txt" && pass "remembered says no watch runs after it ended" ||
    fail "remembered does not say that no watch runs"
}

# ROUNDS wakes of the watch's usb1, each sent as Windows sends it to the
# watch's hidden top-level window after a sleep that cost the camera its
# power (its settings back at their defaults), then a wake that kept them.
# The times go to $work/times.txt.
resume_rounds() {
  local rounds=$1 i from sent seen put kept bad=0
  : >"$work/times.txt"
  for i in $(seq "$rounds"); do
    put=$(count_lines "$work/watch.err" 'after the resume: put back')
    kept=$(count_lines "$work/watch.err" 'still held its')
    control 'present usb1 usb2 integrated' "lost-power $i usb1"
    [ "$(ctl --device "$usb1" get nr2d red-gain | tr '\n' ' ')" = "nr2d=3 red-gain=0 " ] ||
      { fail "round $i: the camera did not lose its settings"; return 1; }
    from=$(($(logged) + 1))
    sent=$(tool power VidorraResumeWatch 0x12) || { fail "round $i: the resume was not taken"; return 1; }
    seen=$(wait_line "$work/watch.err" 'after the resume: put back' $((put + 1))) ||
      { fail "round $i: nothing put back within 20 s of the resume"; return 1; }
    echo $((seen - sent)) >>"$work/times.txt"
    # Its line comes after its reads: every SET of the round is logged by then.
    tool power VidorraResumeWatch 0x12 >/dev/null || { fail "round $i: the second resume was not taken"; return 1; }
    wait_line "$work/watch.err" 'still held its' $((kept + 1)) >/dev/null ||
      { fail "round $i: no line for the resume that kept the settings"; return 1; }
    [ "$(sets usb1 "$from" | tr '\n' ' ')" = "6=05 12=06 15=03 24=01 " ] ||
      { bad=$((bad + 1)); echo "round $i: SETs $(sets usb1 "$from" | tr '\n' ' ')"; }
    [ -z "$(sets usb2 "$from")" ] || { bad=$((bad + 1)); echo "round $i: usb2 got SETs"; }
  done
  [ "$bad" = 0 ] && pass "$rounds resumes: what the camera lost put back once, nothing after a resume that kept it" ||
    fail "$bad resumes sent other SETs"
}

check_watch_resume() {
  ctl --device "$usb1" set nr2d=5 drc=6 red-gain=3 flip-v=on >/dev/null || fail "set on the test camera failed"
  remember_usb1 || return
  start_watch vidorra-ctl.exe watch || { expect_end "its start" WM_CLOSE "$work/watch.err"; return; }
  if wait_line "$work/watch.err" 'put back [0-9]' 1 >/dev/null && tool hidden VidorraResumeWatch 10; then
    resume_rounds 5 && timings resume
    [ "$(ctl --device "$usb1" get nr2d drc red-gain flip-v | tr '\n' ' ')" = "nr2d=5 drc=6 red-gain=3 flip-v=on " ] &&
      pass "the camera holds the remembered values" || fail "the camera does not hold the remembered values"
  else
    fail "no start or no window VidorraResumeWatch"
  fi
  tool close VidorraWatch || fail "WM_CLOSE was not posted"
  expect_end WM_CLOSE WM_CLOSE "$work/watch.err"
}

# The watch's first line comes after its stop requests are taken: a Ctrl+C
# before it ends the process the way Windows' default handler does.
start_stoppable_watch() {
  start_watch vidorra-ctl.exe watch || return
  wait_line "$work/watch.err" 'watching for cameras' 1 >/dev/null || { fail "the watch did not start"; return 1; }
}

check_watch_stop() {
  start_stoppable_watch || return
  tool endsession VidorraWatch || fail "the logoff was not taken"
  expect_end logoff logoff "$work/watch.err"
  start_stoppable_watch || return
  # Ctrl+C as a terminal sends it: Wine turns SIGINT into CTRL_C_EVENT for the
  # console handlers. (GenerateConsoleCtrlEvent from a process attached to the
  # same console returns success under Wine 8 but reaches no other process.)
  # $watch_pid is the Wine process itself (wine_exec), not another build's watch.
  kill -INT "$watch_pid"
  expect_end Ctrl+C 'Ctrl+C' "$work/watch.err"
}

check_watch_program() {
  remember_usb1 || return
  local log
  log=$(echo "$prefix"/drive_c/users/*/AppData/Local/vidorra)/watch.log
  start_watch vidorra-watch.exe || return
  wait_line "$log" 'put back [0-9]' 1 >/dev/null && pass "vidorra-watch.exe put the settings back; its log is watch.log" ||
    { fail "no 'put back [0-9]' in $log"; return; }
  tr -d '\r' <"$log" | grep -Eq '^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9:]{8} vidorra-watch: watching for cameras' &&
    pass "its lines are stamped" || fail "its log lines are not stamped"
  [ ! -s "$work/watch.out" ] && [ ! -s "$work/watch.err" ] && pass "it writes nothing to a console" ||
    fail "it wrote to its standard output or error"
  wine_bare "$folder/vidorra-watch.exe" >/dev/null 2>&1 && pass "a second one ends at once with status 0" ||
    fail "a second vidorra-watch.exe failed"
  tr -d '\r' <"$log" | grep -q 'a watch runs in this session already' && pass "the second one says why it ended" ||
    fail "the second one logged no reason"
  appearances 3 "$log"
}

# Two vidorra-watch.exe started at the same moment: exactly one goes on, the
# other ends by itself with status 0. (Its reason may not stay in the log: the
# one that goes on writes from where the file ended when it opened it.)
check_watch_together() {
  local pids=() pid ended='' status
  for _ in 1 2; do
    wine_exec "$folder/vidorra-watch.exe" >/dev/null 2>&1 </dev/null &
    pids+=($!)
  done
  tool hidden VidorraWatch 60 >/dev/null && pass "a watch runs" || fail "no watch window within 60 s"
  one_ended() { for pid in "${pids[@]}"; do kill -0 "$pid" 2>/dev/null || { ended=$pid; return 0; }; done; return 1; }
  if wait_for 30 one_ended; then
    wait "$ended" && status=0 || status=$?
    [ "$status" = 0 ] && pass "the other one ended by itself with status 0" || fail "the other one ended with status $status"
  else
    fail "both still run after 30 s"
  fi
  # Ours only, each as a watch is ended.
  for pid in "${pids[@]}"; do
    [ "$pid" != "$ended" ] || continue
    [ -z "$ended" ] || { kill -0 "$pid" 2>/dev/null && pass "one goes on" || fail "none goes on"; }
    tool close VidorraWatch >/dev/null 2>&1 || true
    ends "$pid" "the watch" WM_CLOSE || true
  done
}

# The installer's option: off by default, on with /WATCH=1 (the watch starts at
# once), kept by an upgrade that does not say, and undone by the uninstaller.
check_installer_watch() {
  [ -f "$setup" ] || { fail "no installer at $setup (build the target windows_packages)"; return; }
  fresh_prefix
  local installed log
  # The Run value's line; status 1 without one, 2 when reg itself failed.
  run_value() { in_hkcu 'Software\Microsoft\Windows\CurrentVersion\Run' '"Vidorra watch"='; }
  log=$(echo "$fresh"/drive_c/users/*/AppData/Local)/vidorra/watch.log
  run_fresh "$setup" /S || fail "the silent install failed"
  installed=$(default_folder)
  absent "no Run value without the option" "the Run value is written without the option" run_value
  run_fresh "$setup" /S /WATCH=1 || fail "the silent install with /WATCH=1 failed"
  run_value | grep -qiF 'Programs\\Vidorra\\vidorra-watch.exe' && pass "/WATCH=1 writes the Run value" ||
    fail "no Run value naming vidorra-watch.exe after /WATCH=1"
  fresh_tool hidden VidorraWatch 30 && pass "the installer started the watch" ||
    fail "no watch runs after the install"
  run_fresh "$setup" /S || fail "the upgrade without /WATCH= failed"
  run_value | grep -qiF 'Programs\\Vidorra\\vidorra-watch.exe' && pass "an upgrade without /WATCH= keeps the Run value" ||
    fail "the upgrade removed the Run value"
  fresh_tool hidden VidorraWatch 30 && [ "$(count_lines "$log" 'stopped (WM_CLOSE)')" = 1 ] &&
    wait_line "$log" 'watching for cameras' 2 >/dev/null &&
    pass "the upgrade ended the watch and started the new one" || fail "no new watch runs after the upgrade"
  run_fresh "$installed/Uninstall.exe" /S || fail "the silent uninstall failed"
  uninstalled "$installed" && pass "the uninstaller removed the folder" || fail "left behind: $(find "$installed" | head)"
  absent "the uninstaller removed the Run value" "the Run value is left behind" run_value
  wait_for 10 '! fresh_tool hidden VidorraWatch 0 2>/dev/null' &&
    [ "$(count_lines "$log" 'stopped (WM_CLOSE)')" = 2 ] && pass "the uninstaller ended the watch" ||
    fail "the watch still runs, or did not log its end, after the uninstall"
  end_fresh
}

run_check
