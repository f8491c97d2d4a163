# Checks on the VM's run log (sourced by run-vm-test.sh). The log holds each
# step between "STEP BEGIN name" and "STEP END name rc=N", with the
# emulator's line for every control request made during that step.

# shellcheck source=check.sh
. "$(dirname "${BASH_SOURCE[0]}")/check.sh"
# shellcheck source=vm-watch-checks.sh
. "$(dirname "${BASH_SOURCE[0]}")/vm-watch-checks.sh"

step_out() {
    awk -v b="STEP BEGIN $1" -v e="STEP END $1 rc=" \
        '$0 == b { on = 1; next } on && index($0, e) == 1 { exit } on { print }' "$RUNLOG"
}
step_rc() { sed -n "s/^STEP END $1 rc=//p" "$RUNLOG" | head -n 1; }
step_ms() { sed -n "s/^STEP TIME $1 ms=//p" "$RUNLOG" | head -n 1; }
# Control transfers of the video-control interface made during a step.
transfers() { step_out "$1" | grep -c '^EMU req=.* if=0 '; }
# grep reads to the end (no -q), so that the pipeline cannot fail on SIGPIPE under pipefail.
has() { step_out "$1" | grep -F -- "$2" > /dev/null; }
lacks() { ! has "$1" "$2"; }
rc_is() { [ "$(step_rc "$1")" = "$2" ]; }
count_is() { [ "$(transfers "$1")" = "$2" ]; }


show_step() {  # for a failed check's context
    echo "---- step $1 (rc=$(step_rc "$1")):"
    step_out "$1" | sed 's/^/    /'
}

RECORD_HEX=534f433a56392053494d2d312e3100000000000000000000  # "SOC:V9 SIM-1.1", zero-padded to 24

diag_checks() {
    check "uvcvideo binds the emulated camera" grep -q '^VMTEST camera /dev/video' "$RUNLOG"
    check "GET_LEN of selector 24 is 1" has diag-len-24 "query=GET_LEN size=2 rc=0 errno=OK data=0100"
    check "first query of an extension-unit control: GET_LEN, GET_INFO, then the query (3 transfers)" \
        count_is diag-len-24 3
    check "GET_INFO of selector 9 is Get only" has diag-info-9 "query=GET_INFO size=1 rc=0 errno=OK data=01"
    check "selector 9 reads the record" has diag-get-9 "query=GET_CUR size=24 rc=0 errno=OK data=$RECORD_HEX"
    check "SET_CUR of selector 24 reaches unit 6 with byte 01" \
        has diag-set-24 "EMU req=SET_CUR if=0 unit=6 sel=24 len=1 data=01 result=ok"
    check "SET_CUR of a known control costs one transfer" count_is diag-set-24 1
    check "selector 24 reads back 01" has diag-get-24 "query=GET_CUR size=1 rc=0 errno=OK data=01"
    check "the driver refuses SET_CUR of Get-only selector 9 without a transfer" \
        has diag-set-9 "query=SET_CUR size=24 rc=-1 errno=EBADRQC"
    check "... and sends nothing" count_is diag-set-9 0
    check "the driver refuses GET_CUR of Set-only selector 23" has diag-get-23 "errno=EBADRQC"
    check "SET_CUR 23 with byte 01 restores the defaults" has diag-get-24-restored "rc=0 errno=OK data=00"
    check "a selector outside bmControls is unknown to the driver" has diag-sel-8 "rc=-1 errno=ENOENT"
    check "... and sends nothing" count_is diag-sel-8 0
    check "an out-of-range byte is refused with ERANGE (request error code 4)" has diag-range "errno=ERANGE"
    check "... after a stall and a request-error-code read" \
        has diag-range "EMU req=GET_CUR if=0 unit=0 sel=2 len=1 data=04 result=ok"
    check "a wrong size is refused by the driver with ENOBUFS" has diag-size "errno=ENOBUFS"
    check "a declared selector that the camera refuses is unknown to the driver (its GET_LEN stalls)" has diag-refused "errno=ENOENT"
    check "an extension unit id without a unit is unknown" has diag-unit-5 "errno=ENOENT"
    check "white balance reads automatic" has diag-wb-auto "DIAG wb auto=1 errno=OK temperature=4600 errno=OK"
    check "uvcvideo refuses a white-balance temperature while white balance is automatic with EACCES" \
        has diag-wb-set-auto "DIAG wb-set temperature=5000 rc=-1 errno=EACCES"
    check "... without sending it to the camera" lacks diag-wb-set-auto "req=SET_CUR"
    check "white balance reads manual after the camera switched" has diag-wb-manual "DIAG wb auto=0 errno=OK"
    check "the third camera switched to manual between the two reads" \
        switched_between diag-cached-wb-before diag-cached-wb-after
    check "uvcvideo reads white balance from its cache when the camera does not mark it auto-update" \
        has diag-cached-wb-after "DIAG wb auto=1 errno=OK"
    check "... without asking the camera for it" lacks diag-cached-wb-after "unit=2 sel=11 "
    # How uvcvideo translates the camera's request error code after a stall.
    local code expected
    for code in 0 1 2 3 4 5 6 7 8 9; do
        expected=${UVC_ERRNO[$code]}
        check "request error code $code reaches user space as $expected" \
            has diag-error-$code "query=SET_CUR size=1 rc=-1 errno=$expected "
    done
}

# The stream's figures from uvc-diag's summary line: "DIAG grab frames=60 intact=60 in-order=59 fps=30.0".
grab_figure() { step_out diag-grab | sed -n "s/^DIAG grab frames=.* $1=\([0-9.]*\).*/\1/p" | head -n 1; }
# figure_between NAME LOW HIGH: the figure lies in [LOW, HIGH].
figure_between() {
    local v
    v=$(grab_figure "$1")
    [ -n "$v" ] && awk -v v="$v" -v lo="$2" -v hi="$3" 'BEGIN { exit !(v >= lo && v <= hi) }'
}

stream_checks() {
    check "the driver negotiates MJPEG 640x480" has diag-grab "DIAG grab format=MJPG 640x480 "
    check "... and commits format 1, frame 1, 30 fps, 8192-byte payloads (the camera's probe answer)" \
        has diag-grab "EMU req=SET_CUR if=1 unit=0 sel=2 len=34 data=0100010115160500000000000000000000000060090000200000"
    check "60 frames reach user space, each byte for byte a test-card JPEG (FFD8 ... FFD9)" \
        has diag-grab "DIAG grab frames=60 intact=60 "
    check "... in the card's order: the counter goes up by one from frame to frame (50 of 59 at least)" \
        figure_between in-order 50 59
    check "... at about the declared 30 fps (24 to 36 under software emulation)" figure_between fps 24 36
    check "the camera streams only between the driver's first URB and its unlinks" \
        has_all diag-grab "EMU stream start max-payload=8192" "EMU stream stop reason=unlink frames="
    check "the driver ends the bulk stream with CLEAR_FEATURE(ENDPOINT_HALT) of endpoint 0x81" \
        has diag-grab "EMU std type=0x02 req=0x01 value=0x0000 index=129 len=0 result=ok"
    check "streaming costs no transfer of the video-control interface" count_is diag-grab 0
    if [ $FAILED -gt 0 ]; then
        step_out diag-grab | grep -v '^DIAG frame ' | sed 's/^/    /'
    fi
}

# The N-th "DIAG xu" line of a step (uvc-diag --ms steps).
xu_line() { step_out "$1" | grep '^DIAG xu ' | sed -n "$2p"; }
# xu_is STEP N TEXT: the N-th query's line holds TEXT.
xu_is() { xu_line "$1" "$2" | grep -F -- "$3" > /dev/null; }
# xu_ms_between STEP N LOW HIGH: the N-th query took LOW to HIGH milliseconds.
xu_ms_between() {
    local ms
    ms=$(xu_line "$1" "$2" | sed -n 's/.* ms=\([0-9]*\)$/\1/p')
    [ -n "$ms" ] && [ "$ms" -ge "$3" ] && [ "$ms" -le "$4" ]
}

# The raw driver against a camera that misbehaves (uvcvideo of 6.1 and 6.12
# alike; UVC_CTRL_CONTROL_TIMEOUT is 5000 ms). Emulator options in vm-init.sh's fault_phase.
fault_checks() {
    local s=fault-silent
    check "a silent camera goes silent at its 4th extension-unit request" has $s "EMU event=silent request=4"
    check "... and leaves that request unanswered" \
        has $s "EMU req=GET_CUR if=0 unit=6 sel=24 len=1 data=- result=silent error=0"
    check "the query before it is answered" xu_is $s 1 "rc=0 errno=OK data=00"
    check "a query of a silent camera fails with ETIMEDOUT" xu_is $s 2 "query=GET_CUR size=1 rc=-1 errno=ETIMEDOUT"
    check "... after the driver's 5 s control timeout (4900 to 8000 ms)" xu_ms_between $s 2 4900 8000
    check "a first query of another selector: its GET_LEN times out, user space gets ENOENT" \
        xu_is $s 3 "sel=25 query=GET_CUR size=1 rc=-1 errno=ENOENT"
    check "... also after 5 s" xu_ms_between $s 3 4900 8000

    s=fault-answer-again
    check "a camera that answers again: silent at request 4, answering 3 s later" \
        has_all $s "EMU event=silent request=4" "EMU event=answering"
    check "... the request it was silent to still times out (ETIMEDOUT)" xu_is $s 2 "rc=-1 errno=ETIMEDOUT"
    check "... and the next one is answered at once" xu_is $s 3 "rc=0 errno=OK data=00"
    check "... (in under a second)" xu_ms_between $s 3 0 999

    s=fault-unplug
    check "an unplugged camera leaves the bus after its 3rd extension-unit request" \
        has $s "EMU event=detach reason=unplug"
    check "... which is answered" xu_is $s 1 "rc=0 errno=OK data=00"
    # ENODEV in every run so far; a query that races vhci_hcd's disconnect could see another errno.
    check "a query right after the unplug, on the open descriptor, fails" xu_is $s 2 "rc=-1 errno="
    check "... at once (under half a second)" xu_ms_between $s 2 0 499
    check "the node leaves /dev" has $s "DIAG step wait-gone /dev/video0 gone=1"
    check "... and the open descriptor keeps failing with ENODEV" xu_is $s 3 "rc=-1 errno=ENODEV"
    check "opening the node again fails with ENOENT" has $s "DIAG step open /dev/video0 rc=-1 errno=ENOENT"
    check "no capture node is left" has $s "DIAG step nodes capture=none"

    s=fault-reboot-held
    check "a Set of the H.264 switch is answered, then the camera reboots as a new device" \
        has_all $s "EMU req=SET_CUR if=0 unit=6 sel=18 len=1 data=00 result=ok" "EMU event=detach reason=reboot devid=65538" \
        "EMU event=attach devid=65539"
    check "... the Set itself succeeds" xu_is $s 1 "query=SET_CUR size=1 rc=0 errno=OK"
    check "a query right after it, on the same descriptor, fails" xu_is $s 2 "rc=-1 errno="
    check "... with ENODEV once the node is gone" xu_is $s 3 "rc=-1 errno=ENODEV"
    check "the old descriptor still fails with ENODEV after the camera is back" xu_is $s 4 "rc=-1 errno=ENODEV"
    check "with the old descriptor open, the rebooted camera comes back as /dev/video1" \
        has $s "DIAG step wait-capture node=/dev/video1"
    check "... with its settings: H.264 reads 00" xu_is $s 5 "sel=18 query=GET_CUR size=1 rc=0 errno=OK data=00"

    s=fault-reboot-closed
    check "a Set of the audio switch reboots the camera too" \
        has_all $s "EMU req=SET_CUR if=0 unit=6 sel=26 len=1 data=01 result=ok" "EMU event=detach reason=reboot"
    check "with no descriptor open, the rebooted camera gets /dev/video0 back" \
        has $s "DIAG step wait-capture node=/dev/video0"
    check "... with its settings: audio reads 01" xu_is $s 2 "sel=26 query=GET_CUR size=1 rc=0 errno=OK data=01"
    if [ $FAILED -gt 0 ]; then
        for s in fault-silent fault-answer-again fault-unplug fault-reboot-held fault-reboot-closed; do
            show_step $s
        done
    fi
}

report_faults() {
    echo "Faults (uvc-diag --ms):"
    echo "  silent camera:    $(xu_line fault-silent 2)"
    echo "  new selector:     $(xu_line fault-silent 3)"
    echo "  right after unplug: $(xu_line fault-unplug 2)"
    echo "  after unplug:     $(xu_line fault-unplug 3)"
    echo "  reboot, old fd:   $(xu_line fault-reboot-held 4)"
    echo "  reboot, new node: $(step_out fault-reboot-held | grep '^DIAG step wait-capture')"
}

# uvcvideo (uvc_query_ctrl): request error code -> errno, for the kernel
# release that ran. Code 2, "wrong state", was EILSEQ before Linux 6.4 and is
# EACCES from 6.4 on (seen on 6.1 and 6.12); the other codes are the same.
uvc_errno_table() {
    local major minor
    IFS=.- read -r major minor _ <<< "$1"
    UVC_ERRNO=(EPIPE EBUSY EILSEQ EREMOTE ERANGE EIO EIO EIO EINVAL EPIPE)
    if [ "$major" -gt 6 ] || { [ "$major" -eq 6 ] && [ "$minor" -ge 4 ]; }; then
        UVC_ERRNO[2]=EACCES
    fi
}

report_transfers() {
    local s
    echo "Control transfers per step (from the emulator's log):"
    grep '^STEP END ' "$RUNLOG" | while read -r _ _ s _; do
        printf '  %-32s %s\n' "$s" "$(transfers "$s")"
    done
}

# run_checks RUNLOG RELEASE [ctl]: RELEASE is the kernel's uname -r.
run_checks() {
    RUNLOG=$1
    uvc_errno_table "$2"
    diag_checks
    stream_checks
    fault_checks
    if [ "${3:-}" = ctl ]; then
        ctl_checks
        ctl_fault_checks
    fi
    report_transfers
    echo "Stream: $(step_out diag-grab | grep '^DIAG grab frames=')"
    report_faults
    if [ $FAILED -gt 0 ]; then
        echo "Run log: $RUNLOG"
    fi
    echo "$PASSED passed, $FAILED failed"
    [ $FAILED -eq 0 ] && [ $PASSED -gt 0 ]
}

switched_between() {
    awk -v a="STEP END $1 rc=" -v b="STEP BEGIN $2" \
        'index($0, a) == 1 { on = 1 } on && $0 == b { exit } on && /^EMU event=white-balance-manual/ { found = 1 }
         END { exit !found }' "$RUNLOG"
}

has_all() {
    local s=$1 line
    shift
    for line in "$@"; do
        has "$s" "$line" || { echo "    missing in $s: $line"; return 1; }
    done
}
# No control request of the extension unit for selector N during a step.
untouched() { ! step_out "$1" | grep "^EMU req=.* unit=6 sel=$2 " > /dev/null; }
# A Set that reached unit 6 with selector N and byte B, and nothing after it failed.
sent() { has "$1" "EMU req=SET_CUR if=0 unit=6 sel=$2 len=1 data=$3 result=ok"; }

DEFAULTS=(device-info="v3 SOC:V9 SIM-1.1" image-style=normal nr2d=3 nr3d=4 drc=2 red-gain=0 blue-gain=0
    exposure-compensation=0 exposure-compensation-switch=off h264=on audio=off flip-h=off flip-v=off)

# After the first Set of selector 12 in the step, every transfer is one more Set of it.
one_transfer_per_change() {
    local after
    after=$(step_out ctl-set-repeat | grep '^EMU req=.* if=0 ' |
        awk '/req=SET_CUR .* sel=12 / && !seen { seen = 1; next } seen')
    [ "$(printf '%s\n' "$after" | grep -c 'req=SET_CUR if=0 unit=6 sel=12 ')" = 2 ] &&
        [ "$(printf '%s\n' "$after" | grep -c .)" = 2 ]
}

ctl_checks() {
    # uvcvideo names the card "product: function name", cut to 31 characters.
    check "list shows the camera with its extension unit" \
        has ctl-list "$(printf '/dev/video0\tVidorra USB Camera: Vidorra USB\textension unit: yes')"
    check "list exits 0" rc_is ctl-list 0
    check "info shows the record with its marker and the defaults" has_all ctl-info "${DEFAULTS[@]}"
    check "info exits 0" rc_is ctl-info 0
    check "white balance reads 1 (automatic)" has_all ctl-info "white-balance=auto" "WB mode:1"
    check "set flip-v=on sends byte 01 to selector 24 of unit 6" sent ctl-set-flip-v 24 01
    check "flip-v reads back on" has ctl-get-flip-v "flip-v=on"
    check "set nr2d=5 sends 05 to selector 6" sent ctl-set-nr2d 6 05
    check "set red-gain=7 sends 07 to selector 15" sent ctl-set-red-gain 15 07
    check "set exposure-compensation=-3 sends fd to selector 11" sent ctl-set-exposure 11 fd
    check "set image-style=face sends 05 to selector 13" sent ctl-set-style 13 05
    check "set exposure-compensation-switch=on sends 00 to selector 10" sent ctl-set-switch 10 00
    check "set drc=5 drc=6 drc=7 sends 05, 06, 07 to selector 12" \
        has_all ctl-set-repeat "sel=12 len=1 data=05 result=ok" "sel=12 len=1 data=06 result=ok" \
        "sel=12 len=1 data=07 result=ok"
    check "a setting change costs exactly one control transfer after the first" one_transfer_per_change
    check "every value reads back" has_all ctl-get-set nr2d=5 red-gain=7 exposure-compensation=-3 \
        image-style=face exposure-compensation-switch=on drc=7
    check "set h264=off sends 00 to selector 18" sent ctl-set-h264 18 00
    check "negative red gain is refused while white balance is automatic (exit 1)" rc_is ctl-red-gain-auto 1
    check "... and nothing reaches selector 15" untouched ctl-red-gain-auto 15
    check "the read-only device information cannot be set (exit 2)" rc_is ctl-read-only 2
    check "... without a control transfer" count_is ctl-read-only 0
    check "an out-of-range value is refused (exit 2)" rc_is ctl-out-of-range 2
    check "... without a control transfer" count_is ctl-out-of-range 0
    check "restore-defaults sends byte 01 to selector 23" sent ctl-restore 23 01
    check "restore-defaults exits 0" rc_is ctl-restore 0
    check "info after restore-defaults shows the defaults" has_all ctl-info-restored "${DEFAULTS[@]}"
    check "white balance reads 2 (manual) after the camera switched" \
        has_all ctl-info-manual "white-balance=manual" "WB mode:2"
    check "negative red gain is taken while white balance is manual: fd to selector 15" \
        sent ctl-red-gain-manual 15 fd
    check "red gain reads back -3" has ctl-get-red-gain "red-gain=-3"
    check "a selector outside bmControls: get fails (exit 1)" rc_is ctl-omitted-get 1
    check "... without a request for it" untouched ctl-omitted-get 26
    check "a selector outside bmControls: set fails (exit 1)" rc_is ctl-omitted-set 1
    check "... and nothing reaches it" untouched ctl-omitted-set 26
    check "info on that camera reports the one setting it cannot read (exit 1)" rc_is ctl-omitted-info 1
    check "... and still shows the others" has_all ctl-omitted-info "device-info=v3 SOC:V9 SIM-1.1" nr2d=3 flip-v=off
    if [ $FAILED -gt 0 ]; then
        for s in ctl-list ctl-info ctl-set-repeat ctl-red-gain-auto ctl-omitted-get ctl-omitted-info; do
            show_step "$s"
        done
    fi
    watch_checks
}

# Requests of the extension unit (unit 6) the camera saw during a step.
unit6_requests() { step_out "$1" | grep -c '^EMU req=.* unit=6 '; }
unit6_requests_are() { [ "$(unit6_requests "$1")" = "$2" ]; }
# A step took at most N ms.
took_at_most() { [ -n "$(step_ms "$1")" ] && [ "$(step_ms "$1")" -le "$2" ]; }
# The camera left the bus during the step, and no control request reached it after.
nothing_after_detach() {
    step_out "$1" | awk '/^EMU event=detach reason=[a-z]+ devid=[0-9]+$/ { gone = 1; next }
        gone && /^EMU req=/ { asked = 1 } END { exit !(gone && !asked) }'
}
reboot_node_moved() {
    local line
    line=$(step_out ctl-reboot-list | grep 'extension unit: yes')
    [ -n "$line" ] && ! printf '%s\n' "$line" | grep -q '^/dev/video0	'
}

# The driver waits 5 s for a request a camera leaves unanswered; a command
# may take one such wait (and 1 s) more than on a camera that answers.
ctl_fault_checks() {
    local bound=$(( $(step_ms ctl-info-again) + 6000 ))
    local s=ctl-silent-info
    check "info on a camera silent from the start exits 1" rc_is $s 1
    check "... says the record went unanswered" has $s "device-info: cannot read: the camera is not answering"
    check "... and so every setting and white balance, without asking again" \
        has_all $s "drc: cannot read: the camera is not answering" "flip-v: cannot read: the camera is not answering" \
        "white-balance: cannot read: the camera is not answering"
    check "... one extension-unit request reached the camera" unit6_requests_are $s 1
    check "... within one driver timeout and 1 s of a camera that answers ($bound ms)" took_at_most $s $bound
    s=ctl-silent-restore
    check "restore-defaults on a silent camera exits 1 and says why" \
        has $s "restore-defaults: the camera did not restore its defaults: the camera is not answering"
    check "... exit 1" rc_is $s 1
    check "... within one driver timeout and 1 s" took_at_most $s $(( $(step_ms ctl-restore) + 6000 ))
    s=ctl-silent-mid-info
    check "a camera that goes silent during info: what was read is shown" has $s "device-info=v3 SOC:V9 SIM-1.1"
    check "... the rest says the camera is not answering, exit 1" \
        has_all $s "flip-v: cannot read: the camera is not answering" "white-balance: cannot read: the camera is not answering"
    check "... exit 1" rc_is $s 1
    check "... one request went unanswered" [ "$(step_out $s | grep -c 'result=silent')" = 1 ]
    check "... within one driver timeout and 1 s of a camera that answers ($bound ms)" took_at_most $s $bound
    check "a camera that answers again: first refused as not answering" \
        has ctl-answering-again-before "drc: cannot read: the camera is not answering"
    check "... then used again by the next command" has ctl-answering-again-after "drc=2"
    check "... which exits 0" rc_is ctl-answering-again-after 0
    s=ctl-unplug-info
    check "a camera unplugged during info: exit 1" rc_is $s 1
    check "... names what happened" has $s "cannot read: the camera is gone (unplugged or rebooting)"
    check "... the camera leaves the bus and is asked nothing more" nothing_after_detach $s
    s=ctl-reboot-set
    check "set h264=off on a camera that reboots: exit 0, sent last, the reboot announced" \
        has_all $s "EMU event=detach reason=reboot" "h264=off: set; the camera reboots to apply it"
    check "... flip-v before it" sent $s 24 01
    check "... exit 0" rc_is $s 0
    check "list after the reboot finds the camera on its new node" reboot_node_moved
    check "... where it kept its settings" has_all ctl-reboot-get "h264=off" "flip-v=on"
    if [ $FAILED -gt 0 ]; then
        for s in ctl-silent-info ctl-silent-mid-info ctl-unplug-info ctl-reboot-list; do
            show_step "$s"
        done
    fi
}

# The window's own VM (run-vm-test.sh --window).
# shellcheck source=vm-window-checks.sh
. "$SRC/vm-window-checks.sh"
