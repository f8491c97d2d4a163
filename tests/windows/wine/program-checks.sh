#!/usr/bin/env bash
# The programs of the shipped folder under Wine, driven from outside through
# Windows itself (wintool.exe: the window, real input, device broadcasts).
# A GUI program's debug lines reach OutputDebugString, which Wine prints on
# standard error (its channel "seh" for Qt's, "debugstr" for others).
#
#   program-checks.sh CHECK BUILD FOLDER WINTOOL ENTRY_POINT SETUP LINUX_CTL_SIM
set -euo pipefail
check=$1 build=$2 folder=$3 wintool=$4 entry=$5 setup=$6 linux_ctl=$7
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=check-support.sh
source "$here/check-support.sh"
title="Vidorra v1.1"
# The program's debug lines so far, as Wine printed them.
debug_lines() { sed -n 's/.*OutputDebugString[AW] [L]*"\(.*\)"$/\1/p' "$work/$1.log" | sed 's/\\n$//'; }

# Starts PROGRAM of the folder, its debug log in $work/PROGRAM.log, and waits for its window.
program_pid=
start_program() {
  local name=$1
  shift
  WINEDEBUG=warn+seh,+debugstr wine_exec "$folder/$name" "$@" >"$work/$name.out" 2>"$work/$name.log" &
  program_pid=$!
  local geometry
  geometry=$(tool window "$title" 60) || { fail "$name: no window titled '$title' within 60 s"; return 1; }
  read -r origin_x origin_y client_w client_h <<<"$geometry"
}

# Closes the window as its user does; the program must end with status 0.
end_program() {
  tool close "$title" || fail "WM_CLOSE could not be posted to $1"
  ends "$program_pid" "$1" WM_CLOSE || return 0
  local bmp
  for bmp in "$work"/*.bmp; do [ ! -f "$bmp" ] || python3 "$here/screen.py" png "$bmp" "${bmp%.bmp}.png"; done
}

# A grab of the screen as NAME.bmp (NAME.png to look at once the program
# ended), with the window's origin read again: the window manager may have moved it.
grab() {
  local geometry
  geometry=$(tool window "$title" 5) || return 1
  read -r origin_x origin_y _ _ <<<"$geometry"
  tool grab "$(winpath "$work/$1.bmp")"
}
# Whether grabs A and B differ inside the client rectangle X Y W H.
differs() { python3 "$here/screen.py" differs "$work/$1.bmp" "$work/$2.bmp" $((origin_x + $3)) $((origin_y + $4)) "$5" "$6"; }
# "R G B" at a point of the client area on grab NAME.
pixel() { python3 "$here/screen.py" pixel "$work/$1.bmp" $((origin_x + $2)) $((origin_y + $3)); }
near() {  # near "R G B" "R G B": every channel within 40
  local a b i
  read -r -a a <<<"$1"
  read -r -a b <<<"$2"
  for i in 0 1 2; do [ $((a[i] - b[i])) -le 40 ] && [ $((b[i] - a[i])) -le 40 ] || return 1; done
}
# Client coordinates, measured on a grab: the "Open Camera" button in the
# status bar, and where the preview shows the picture.
open_camera_x=410 open_camera_y=751
preview_x=10 preview_y=30 preview_w=770 preview_h=434
# bars_seen NAME X W Y: how many of the test card's seven bars grab NAME shows at
# client row Y, the card drawn from client column X, W wide (each probed at its middle).
bars_seen() {
  local name=$1 x=$2 w=$3 y=$4 i seen=0
  local colours=("255 255 255" "255 255 0" "0 255 255" "0 255 0" "255 0 255" "255 0 0" "0 0 255")
  for i in 0 1 2 3 4 5 6; do
    near "$(pixel "$name" $((x + w * (2 * i + 1) / 14)) "$y")" "${colours[$i]}" && seen=$((seen + 1))
  done
  echo "$seen"
}
# The window drawn: the white "Open Camera" button where it is clicked.
drawn() { grab "$1" && near "$(pixel "$1" $open_camera_x $open_camera_y)" "255 255 255"; }
# PROGRAM's read of the device-information record, the three debug lines
# before its own "Devinfo" line: the probe that found the unit on node 2, the
# length query (24 bytes) and the GET, 'S' first.
record_read() { debug_lines "$1" | grep -B3 ' Devinfo$' | head -n 3 | paste -sd ';'; }
read_ok='query node ok: 0 len: 0 num: 2;query node ok: 0 len: 24;0 return data: 83 1'
# How many of the settings' reads after the record's were answered (status 0).
settings_read() { debug_lines "$1" | sed -n '/ Devinfo$/,$p' | grep -c '^0 return data: [0-9]* 1$' || true; }

# Beside a USB camera of the machine (the test camera's second one), which Qt's
# DirectShow plugin lists ahead of the simulated cameras: the window offers
# only its own, so "Open Camera" binds the simulated camera and the machine's
# is never opened.
check_sim_window() {
  use_test_camera
  cameras usb2
  start_program vidorra-sim.exe || return
  [ "$client_w $client_h" = "789 776" ] && pass "the window maps with a client area of 789 x 776" ||
    fail "the client area is $client_w x $client_h, not 789 x 776"
  debug_lines vidorra-sim.exe >"$work/debug.txt"
  grep -qx 'Vidorra Virtual Camera' "$work/debug.txt" && grep -qx 'Vidorra Sim Camera' "$work/debug.txt" &&
    pass "the list held the machine's USB camera and the simulated camera" || fail "the list lacks either camera"
  wait_for 20 'drawn before' && pass "the window shows Open Camera" || fail "no Open Camera button drawn"
  tool click "$title" $open_camera_x $open_camera_y && pass "the click reached Open Camera" || fail "the click was not delivered"
  wait_for 20 'debug_lines vidorra-sim.exe | grep -qx "Vidorra Sim Camera devname"' &&
    pass "Open Camera bound the simulated camera" || fail "no binding of the simulated camera in the debug log"
  local card="after $preview_x $preview_w $((preview_y + preview_h * 3 / 5))"
  wait_for 20 'grab after && [ "$(bars_seen $card)" = 7 ]' && pass "the preview shows the test card's seven bars" ||
    fail "the preview shows $(bars_seen $card) of the seven bars"
  differs before after $preview_x $preview_y $preview_w $preview_h && pass "the preview changed from the grab before" ||
    fail "the preview is as it was before Open Camera"
  [ "$(record_read vidorra-sim.exe)" = "$read_ok" ] && [ "$(settings_read vidorra-sim.exe)" = 12 ] &&
    pass "the record was read on node 2 ('S' first), then the 12 settings" ||
    fail "the record's read: '$(record_read vidorra-sim.exe)', then $(settings_read vidorra-sim.exe) settings"
  grep -qx 'WB mode:1' <(tr -d '\r' <"$work/vidorra-sim.exe.out") && pass "standard output shows 'WB mode:1'" ||
    fail "no 'WB mode:1' on standard output"
  # The camera saw itself listed, and nothing else.
  grep -qx 'list cams=usb2' "$work/vcam-log.txt" && pass "the machine's USB camera was listed" ||
    fail "the machine's USB camera was never listed"
  [ -z "$(grep -v '^list ' "$work/vcam-log.txt")" ] && pass "the machine's USB camera was never opened" ||
    fail "the machine's USB camera was used: $(grep -v '^list ' "$work/vcam-log.txt" | paste -sd ';')"
  end_program vidorra-sim.exe
}

check_no_camera() {
  start_program vidorra.exe || return
  # The list is filled before the window shows.
  wait_for 20 'drawn before' && pass "the window shows Open Camera" || fail "no Open Camera button drawn"
  debug_lines vidorra.exe >"$work/debug.txt"
  grep -q -- '--devname--' "$work/debug.txt" && fail "a camera was listed" || pass "Wine's DirectShow lists no camera"
  tool click "$title" $open_camera_x $open_camera_y && pass "the click reached the window" || fail "the click was not delivered"
  # Pressed, the button takes the focus and draws its frame: the window has had the click.
  wait_for 10 'grab after && differs before after $((open_camera_x - 55)) $((open_camera_y - 16)) 110 32' &&
    pass "Open Camera took the click" || fail "Open Camera looks as before the click"
  tool alive "$title" && pass "the window answers after Open Camera" || fail "the window does not answer"
  differs before after $preview_x $preview_y $preview_w $preview_h && fail "the preview changed with no camera" ||
    pass "the preview stays empty"
  debug_lines vidorra.exe >"$work/debug.txt"
  grep -q 'devname' "$work/debug.txt" && fail "Open Camera searched for a camera with none listed" ||
    pass "Open Camera with an empty list does nothing"
  end_program vidorra.exe
}

check_device_change() {
  start_program vidorra-sim.exe || return
  local count previous wparam events
  previous=$(debug_lines vidorra-sim.exe | wc -l)
  # DBT_DEVNODES_CHANGED, DBT_DEVICEARRIVAL, DBT_DEVICETYPESPECIFIC, DBT_DEVICEREMOVECOMPLETE
  for wparam in 0x0007 0x8000 0x8005 0x8004; do
    events=$(debug_lines vidorra-sim.exe | grep -cx 'Recv Event ' || true)
    # Sent, not posted: the window has handled it when the tool returns; the deadline covers the log's writing.
    tool devicechange "$title" $wparam >/dev/null || fail "WM_DEVICECHANGE $wparam was not taken"
    wait_for 5 '[ "$(debug_lines vidorra-sim.exe | grep -cx "Recv Event ")" -gt $events ]' || true
    debug_lines vidorra-sim.exe | tail -n +$((previous + 1)) >"$work/after-$wparam.txt"
    previous=$(debug_lines vidorra-sim.exe | wc -l)
    grep -qx 'Recv Event ' "$work/after-$wparam.txt" && pass "$wparam reached the hook" || fail "$wparam: no 'Recv Event '"
    count=$(grep -c -- '--devname--' "$work/after-$wparam.txt" || true)
    if [ $wparam = 0x0007 ]; then
      [ "$count" = 1 ] && pass "$wparam rebuilt the camera list" || fail "$wparam: the list was rebuilt $count times"
    else
      [ "$count" = 0 ] && pass "$wparam left the list alone" || fail "$wparam rebuilt the list"
    fi
    if [ $wparam = 0x8005 ]; then
      grep -qx 'DBT_DEVICETYPESPECIFIC ' "$work/after-$wparam.txt" && pass "$wparam wrote its debug line" ||
        fail "$wparam: no 'DBT_DEVICETYPESPECIFIC '"
    else
      grep -q 'DBT_DEVICETYPESPECIFIC' "$work/after-$wparam.txt" && fail "$wparam wrote the type-specific line" || true
    fi
  done
  end_program vidorra-sim.exe
}

# The lines of the camera list's last rebuild (from its "--devname--" line on).
last_rebuild() { awk '/ --devname--$/ { rebuild = "" } { rebuild = rebuild $0 "\n" } END { printf "%s", rebuild }'; }
rebuilds() { debug_lines "$1" | grep -c -- ' --devname--$' || true; }

# A plug-in's burst of device changes with the camera arriving just after the
# first of them: Qt's DirectShow plugin answers from its copy of the list for
# 500 ms after each enumeration, so the burst's last rebuild misses the camera;
# once the burst has settled the list holds it all the same. The same for a
# camera removed during a burst.
check_device_burst() {
  use_test_camera
  cameras integrated
  start_program vidorra.exe || return
  local control before phase present had
  control=$(winpath "$work/vcam-control.txt")
  for phase in arrives goes; do
    # had: whether the list of before holds the camera
    if [ $phase = arrives ]; then present="integrated usb1" had=0; else present="integrated" had=1; fi
    before=$(rebuilds vidorra.exe)
    tool burst "$title" 4 "$control" "present $present" >/dev/null || { fail "$phase: the burst was not taken"; continue; }
    [ "$(rebuilds vidorra.exe)" = $((before + 4)) ] && pass "$phase: each change of the burst rebuilt the list" ||
      fail "$phase: $(($(rebuilds vidorra.exe) - before)) rebuilds for a burst of 4"
    # Without this the check would prove nothing: the platform's copy is what the look after the burst is for.
    [ "$(debug_lines vidorra.exe | last_rebuild | grep -c 'usb#vid_f0f0')" = $had ] &&
      pass "$phase: the burst's last rebuild still had the list of before (Qt's copy)" ||
      fail "$phase: the burst's last rebuild already followed the camera"
    wait_for 5 '[ "$(rebuilds vidorra.exe)" -gt $((before + 4)) ]' &&
      [ "$(debug_lines vidorra.exe | last_rebuild | grep -c 'usb#vid_f0f0')" = $((1 - had)) ] &&
      pass "$phase: once the burst settled the list was rebuilt and follows the camera" ||
      fail "$phase: the list does not follow the camera 5 s after the burst"
  done
  end_program vidorra.exe
}

# At 150 % (Wine's LogPixels 144) the window at the screen's own factor
# (1184 x 1164) would not fit the session's 1280 x 1024 screen: it shrinks to
# the largest scale that fits, keeps its form, and "Open Camera" binds the
# simulated camera.
check_sim_window_dense() {
  export VIDORRA_WINEPREFIX=$build/wine/dense-prefix
  rm -rf "$VIDORRA_WINEPREFIX"
  cp -a "$build/wine/pristine" "$VIDORRA_WINEPREFIX"
  printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"LogPixels"=dword:00000090\n' >"$work/dpi.reg"
  wine_bare regedit /S "$(winpath "$work/dpi.reg")" || fail "LogPixels could not be set"
  start_program vidorra-sim.exe || return
  local scale=$((client_w * 1000 / 789))  # screen pixels per form pixel, in thousandths
  [ $scale -gt 1100 ] && [ $scale -lt 1480 ] && pass "the window shrank from 1.5 to $scale/1000 of the form" ||
    fail "the window is at $scale/1000 of the form, not between 1.1 and 1.48 ($client_w x $client_h)"
  [ $((client_h * 1000 / 776 - scale)) -ge -5 ] && [ $((client_h * 1000 / 776 - scale)) -le 5 ] &&
    pass "the form keeps its proportions" || fail "the form is $client_w x $client_h, out of proportion"
  [ "$origin_y" -ge 20 ] && [ $((origin_y + client_h)) -le 1024 ] && [ $((origin_x + client_w)) -le 1280 ] &&
    pass "the window, status bar included, is on the screen" ||
    fail "the client area $origin_x,$origin_y $client_w x $client_h leaves the 1280 x 1024 screen"
  tool click "$title" $((open_camera_x * scale / 1000)) $((open_camera_y * scale / 1000)) || fail "the click was not delivered"
  wait_for 20 'debug_lines vidorra-sim.exe | grep -qx "Vidorra Sim Camera devname"' &&
    pass "Open Camera, clicked where it shows, bound the simulated camera" || fail "Open Camera bound nothing"
  grab dense
  end_program vidorra-sim.exe
  WINEPREFIX=$VIDORRA_WINEPREFIX "$WINESERVER" -k 2>/dev/null || true
}

check_entry_point() {
  local argument="Grüße aus Köln – 日本"
  local status=0
  VIDORRA_ENTRY_REPORT=$(printf 'Z:%s' "${work//\//\\}")\\report.txt \
    bash "$here/wine.sh" run "$build" "$entry" "$argument" -style windows plain >"$work/entry.out" 2>&1 || status=$?
  tr -d '\r' <"$work/report.txt" >"$work/report" 2>/dev/null ||
    { cat "$work/entry.out"; fail "no report (the program ended with status $status)"; return; }
  cat "$work/report"
  [ "$(grep -c '^argv .* ansi$' "$work/report")" = 4 ] && pass "each argument reached main() in the ANSI code page" ||
    fail "main() did not receive the arguments in the ANSI code page"
  grep -qx 'argv ends with null' "$work/report" && pass "argv ends with a null entry" || fail "argv has no null end"
  grep -qx 'style windows' "$work/report" && pass "-style windows reached the application object" ||
    fail "the style is not 'windows'"
  grep -qxF "argument $argument" "$work/report" && grep -qx 'argument plain' "$work/report" &&
    ! grep -q '^argument -style' "$work/report" && pass "the application keeps the wide argument and takes -style" ||
    fail "the application's arguments are not the wide ones without -style"
  grep -qx 'exit 0' "$work/report" && pass "main() returned 0 when the window closed" || fail "main() did not return 0"
  # The shipped program through its own entry point: Qt's argument handling
  # there names a style it does not have, and the window shows all the same.
  start_program vidorra-sim.exe "$argument" -style vidorra-none plain || return
  wait_for 10 'debug_lines vidorra-sim.exe | grep -q "invalid style override .vidorra-none."' &&
    pass "the shipped vidorra-sim.exe took -style from its arguments and showed its window" ||
    fail "the shipped vidorra-sim.exe did not see -style among its arguments"
  end_program vidorra-sim.exe
}

check_ctl_sim() {
  [ -x "$linux_ctl" ] || { fail "no Linux vidorra-ctl-sim to compare with (VIDORRA_LINUX_CTL_SIM)"; return; }
  # (A file that cannot be opened is reported in the system's own words.)
  local commands=("list" "info" "get nr2d red-gain flip-h" "set nr2d=5 red-gain=3" "set nr2d=9" "save"
    "load settings.conf" "bogus")
  printf 'nr2d=4\nimage-style=face\n' >"$work/settings.conf"
  local c linux windows
  for c in "${commands[@]}"; do
    # shellcheck disable=SC2086  # the command's words
    linux=$(cd "$work" && "$linux_ctl" $c 2>&1; echo "status $?")
    # shellcheck disable=SC2086
    windows=$(cd "$work" && wine_bare "$folder/vidorra-ctl-sim.exe" $c 2>&1 | tr -d '\r'; echo "status ${PIPESTATUS[0]}")
    if [ "$linux" = "$windows" ]; then
      pass "vidorra-ctl-sim $c: as on Linux"
    else
      fail "vidorra-ctl-sim $c differs from Linux"
      diff <(echo "$linux") <(echo "$windows") || true
    fi
  done
}

# The transfers that reached the camera after log line N: "SET 12 05", "GET 9".
transfers_after() { transfers $(($1 + 1)) | cut -d' ' -f2- | paste -sd ','; }
read_pass="GET 9,GET 13,GET 6,GET 7,GET 12,GET 15,GET 14,GET 11,GET 10,GET 18,GET 26,GET 25,GET 24"

check_ctl_camera() {
  use_test_camera
  local out status from
  # ctl ARGS...: its output in $out (CR LF made LF), its exit status in $status, the log line before it in $from.
  ctl() {
    from=$(logged)
    out=$(cd "$work" && wine_bare "$folder/vidorra-ctl.exe" "$@" 2>&1 | tr -d '\r'; exit "${PIPESTATUS[0]}") && status=0 || status=$?
  }
  # Choosing the camera reads its record first (GET 9): reads are checked from their end.
  only() { transfers_after "$from" | tr ',' '\n' | { grep "^$1" || true; } | paste -sd ','; }  # only SET|GET
  expect() {  # expect WHAT STATUS SETS [GETS]: the exit status, exactly these SETs, and reads ending so
    local sets gets
    sets=$(only SET) gets=$(only GET)
    if [ "$status" = "$2" ] && [ "$sets" = "$3" ] && { [ -z "${4:-}" ] || [[ ",$gets" == *",$4" ]]; }; then pass "$1"; else
      fail "$1: status $status, transfers '$(transfers_after "$from")'"
      printf '%s\n' "$out" | sed 's/^/    /'
    fi
  }
  ctl list
  [ "$status" = 0 ] && [ -z "$(only SET)" ] && pass "list changes nothing" || fail "list: status $status, sent '$(only SET)'"
  [ "$(printf '%s\n' "$out" | grep -c .)" = 1 ] &&
    printf '%s\n' "$out" | grep -qF $'Vidorra Virtual Camera\textension unit: yes\tidentity: f0f0-0102-7%261a2b3c4d%260%260000' &&
    printf '%s\n' "$out" | grep -qF '\\?\usb#vid_f0f0&pid_0102&mi_00#7&1a2b3c4d&0&0000#' &&
    pass "list: the USB camera alone, its identity from the device path" || fail "list printed: $out"
  ctl info
  expect "info reads the record and every setting in the window's order" 0 "" "$read_pass"
  grep -qx 'device-info=v3 SOC:V9 SIM-1.1' <<<"$out" && grep -qx 'nr3d=4' <<<"$out" &&
    grep -qx 'white-balance=auto' <<<"$out" && pass "info shows the record and the camera's values" ||
    fail "info printed: $out"
  ctl get nr2d red-gain
  expect "get reads the two settings asked for" 0 "" "GET 6,GET 15"
  [ "$out" = $'nr2d=3\nred-gain=0' ] && pass "get prints them" || fail "get printed: $out"
  ctl set drc=5 flip-v=on
  expect "set sends one SET each: 05 to selector 12, 01 to selector 24" 0 "SET 12 05,SET 24 01"
  ctl set nr2d=9
  expect "set with a value out of range sends nothing" 2 ""
  ctl save
  [ "$status" = 0 ] && [ -z "$(only SET)" ] && pass "save changes nothing" || fail "save: status $status, sent '$(only SET)'"
  printf '%s\n' "$out" >"$work/saved.conf"
  grep -qx 'drc=5' "$work/saved.conf" && grep -qx 'flip-v=on' "$work/saved.conf" && pass "save writes what was set" ||
    fail "save printed: $out"
  ctl restore-defaults
  expect "restore-defaults sends one SET: 01 to selector 23" 0 "SET 23 01"
  ctl get drc flip-v
  [ "$out" = $'drc=2\nflip-v=off' ] && pass "the camera holds its defaults again" || fail "after restore-defaults: $out"
  ctl load saved.conf
  local sets
  sets=$(only SET)
  [ "$status" = 0 ] && [[ ",$sets," == *",SET 12 05,"* ]] && [[ ",$sets," == *",SET 24 01,"* ]] &&
    [[ ",$sets," != *",SET 23 "* ]] && pass "load sends the saved values" || fail "load: status $status, sent '$sets'"
  ctl get drc flip-v
  [ "$out" = $'drc=5\nflip-v=on' ] && pass "the camera holds the loaded values" || fail "after load: $out"
}

check_camera_window() {
  use_test_camera
  start_program vidorra.exe || return
  debug_lines vidorra.exe >"$work/debug.txt"
  grep -qF 'usb#vid_f0f0&pid_0102' "$work/debug.txt" && pass "vidorra.exe lists the USB camera" ||
    fail "no USB camera in the list"
  wait_for 20 'drawn before' || fail "no Open Camera button drawn"
  local from
  from=$(logged)
  tool click "$title" $open_camera_x $open_camera_y || fail "the click was not delivered"
  wait_for 20 '[ "$(transfers_after "$from")" = "$read_pass" ]' && pass "Open Camera read the record and every setting" ||
    fail "Open Camera read: $(transfers_after "$from")"
  debug_lines vidorra.exe | grep -qx 'Vidorra Virtual Camera devname' && [ "$(record_read vidorra.exe)" = "$read_ok" ] &&
    pass "the camera was bound and its record read on node 2 ('S' first)" ||
    fail "the binding or the record's read is not in the debug log: '$(record_read vidorra.exe)'"
  # The card's bars at their probe points, the 640 x 480 picture fitted into the preview and centred.
  local shown_w=$((640 * preview_h / 480)) card
  card="after $((preview_x + (preview_w - shown_w) / 2)) $shown_w $((preview_y + (480 * 2 / 3 - 480 / 32) * preview_h / 480))"
  wait_for 20 'grab after && [ "$(bars_seen $card)" = 7 ]' && pass "the preview shows the test card's seven bars" ||
    fail "the preview shows $(bars_seen $card) of the seven bars"
  differs before after $preview_x $preview_y $preview_w $preview_h && pass "the preview changed from the grab before" ||
    fail "the preview is as it was before Open Camera"
  end_program vidorra.exe
}

check_installer() {
  [ -f "$setup" ] || { fail "no installer at $setup (build the target windows_packages)"; return; }
  fresh_prefix
  run_fresh "$setup" /S && pass "the silent install ended with status 0" || fail "the silent install failed"
  local installed user_dir
  installed=$(default_folder)
  user_dir=${installed%/AppData/Local/Programs/Vidorra}
  [ -f "$installed/vidorra.exe" ] && [ -f "$installed/mediaservice/dsengine.dll" ] &&
    pass "installed under %LOCALAPPDATA%\\Programs\\Vidorra" || fail "nothing installed under $installed"
  local menu="$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Vidorra"
  [ -f "$menu/Vidorra.lnk" ] && [ -f "$menu/Vidorra on a simulated camera.lnk" ] &&
    pass "two Start-menu shortcuts" || fail "the Start-menu shortcuts are missing"
  registration Vidorra && pass "the uninstaller is registered in the user's hive" || fail "no uninstall key in HKCU"
  for f in "$installed/vidorra.exe" "$installed/vidorra-ctl.exe" "$setup"; do
    [ "$(tool version "$(printf 'Z:%s' "${f//\//\\}")" | cut -d'|' -f1-2)" = "Vidorra|1.1.0.0" ] &&
      pass "$(basename "$f") carries product name and file version" || fail "$(basename "$f"): no version information"
  done
  VIDORRA_WINEPREFIX=$fresh WINEDEBUG=-all wine_exec "$installed/vidorra-sim.exe" >/dev/null 2>&1 &
  local pid=$!
  fresh_tool window "$title" 60 >/dev/null && pass "the installed vidorra-sim.exe shows its window" ||
    fail "the installed vidorra-sim.exe shows no window"
  fresh_tool close "$title" || fail "WM_CLOSE could not be posted"
  ends "$pid" "the installed vidorra-sim.exe" WM_CLOSE || true
  run_fresh "$installed/Uninstall.exe" /S || fail "the silent uninstall failed"
  uninstalled "$installed" && pass "the uninstaller removed the folder" || fail "left behind: $(find "$installed" | head)"
  [ ! -e "$menu" ] && pass "the uninstaller removed the shortcuts" || fail "shortcuts left behind"
  absent "the uninstall key is gone" "the uninstall key is left behind" registration Vidorra
  # Anything else, anywhere: the hives as wineserver saves them when it ends.
  WINEPREFIX=$fresh "$WINESERVER" -w
  local left
  left=$(find "$fresh/drive_c" -iname '*vidorra*'; grep -i vidorra "$fresh/user.reg" "$fresh/system.reg" || true)
  [ -z "$left" ] && pass "nothing of Vidorra is left in the prefix" || fail "left behind: $left"
  end_fresh
}

# Upgrading, and uninstalling, while vidorra-sim.exe of the installed folder
# runs: each must end non-zero and leave the folder as it was, all of one
# version, and its registration; once it is closed, the upgrade replaces
# every file.
check_installer_running() {
  [ -f "$setup" ] || { fail "no installer at $setup (build the target windows_packages)"; return; }
  next_setup || { fail "the next version's installer could not be made"; return; }
  fresh_prefix
  run_fresh "$setup" /S || { fail "the first install failed"; return; }
  local installed ours status pid
  installed=$(default_folder)
  ours=$(manifest "${setup%-setup.exe}")  # the folder it was made of
  [ "$(manifest "$installed")" = "$ours" ] && pass "installed: the folder as it ships" ||
    { fail "the installed folder differs from the one that ships"; return; }
  VIDORRA_WINEPREFIX=$fresh WINEDEBUG=-all wine_exec "$installed/vidorra-sim.exe" >/dev/null 2>&1 &
  pid=$!
  fresh_tool window "$title" 60 >/dev/null && pass "the installed vidorra-sim.exe runs" ||
    { fail "the installed vidorra-sim.exe shows no window"; kill "$pid"; return; }
  run_fresh "$next" /S && status=0 || status=$?
  [ "$status" != 0 ] && pass "the silent upgrade ended with status $status" || fail "the silent upgrade ended with status 0"
  [ "$(manifest "$installed")" = "$ours" ] && pass "every file is still the installed version's" ||
    fail "files were replaced: $(diff <(echo "$ours") <(manifest "$installed") | grep -c '^>') of them"
  [ "$(registered DisplayVersion)" = 1.1 ] && pass "the registration is still 1.1's" ||
    fail "the registration says $(registered DisplayVersion)"
  # Run in place (_?=), the uninstaller's status is its own.
  run_fresh "$installed/Uninstall.exe" /S "_?=$(winpath "$installed")" && status=0 || status=$?
  [ "$status" != 0 ] && pass "the silent uninstall ended with status $status" || fail "the silent uninstall ended with status 0"
  [ "$(manifest "$installed")" = "$ours" ] && [ -n "$(registered InstallLocation)" ] &&
    pass "the uninstaller left the folder and its registration as they were" ||
    fail "the uninstaller removed files or the registration"
  fresh_tool close "$title" || fail "WM_CLOSE could not be posted"
  ends "$pid" vidorra-sim.exe WM_CLOSE || true
  run_fresh "$next" /S && pass "closed, the upgrade ended with status 0" || fail "the upgrade failed with nothing running"
  [ "$(manifest "$installed")" = "$(manifest "$next_stage")" ] && [ "$(registered DisplayVersion)" = 1.2 ] &&
    pass "it replaced every file and the registration" || fail "the upgrade left files or the registration of 1.1"
  end_fresh
}

# An install into a folder of the user's choice, then an upgrade without one:
# the upgrade goes there, and no second copy appears in the default folder.
check_installer_folder() {
  [ -f "$setup" ] || { fail "no installer at $setup (build the target windows_packages)"; return; }
  next_setup || { fail "the next version's installer could not be made"; return; }
  fresh_prefix
  local custom="$fresh/drive_c/Camera Tools/Vidorra"
  # /D= takes the rest of the command line as it is, unquoted: through cmd, not Wine's quoting.
  run_fresh cmd /c "$(winpath "$setup") /S /D=C:\Camera Tools\Vidorra" ||
    fail "the install into C:\Camera Tools\Vidorra failed"
  [ "$(manifest "$custom")" = "$(manifest "${setup%-setup.exe}")" ] && [ "$(registered InstallLocation)" = 'C:\Camera Tools\Vidorra' ] &&
    pass "installed into the chosen folder, registered there" || { fail "not installed into $custom"; return; }
  run_fresh "$next" /S || fail "the upgrade failed"
  [ "$(manifest "$custom")" = "$(manifest "$next_stage")" ] && [ "$(registered DisplayVersion)" = 1.2 ] &&
    pass "the upgrade replaced the chosen folder's files" || fail "the chosen folder still holds 1.1"
  [ ! -e "$(default_folder)" ] && pass "no second copy in the default folder" ||
    fail "a second copy in $(default_folder)"
  [ "$(registered InstallLocation)" = 'C:\Camera Tools\Vidorra' ] && pass "one registration, of the chosen folder" ||
    fail "the registration names $(registered InstallLocation)"
  end_fresh
}

run_check
