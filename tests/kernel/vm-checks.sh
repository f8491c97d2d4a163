# Checks on the VM's run log (sourced by run-vm-test.sh). The log holds each
# step between "STEP BEGIN name" and "STEP END name rc=N", with the
# emulator's line for every control request made during that step.

PASSED=0
FAILED=0

step_out() {
    awk -v b="STEP BEGIN $1" -v e="STEP END $1 rc=" \
        '$0 == b { on = 1; next } on && index($0, e) == 1 { exit } on { print }' "$RUNLOG"
}
step_rc() { sed -n "s/^STEP END $1 rc=//p" "$RUNLOG" | head -n 1; }
# Control transfers of the video-control interface made during a step.
transfers() { step_out "$1" | grep -c '^EMU req=.* if=0 '; }
has() { step_out "$1" | grep -qF -- "$2"; }
lacks() { ! has "$1" "$2"; }
rc_is() { [ "$(step_rc "$1")" = "$2" ]; }
count_is() { [ "$(transfers "$1")" = "$2" ]; }

check() {
    local description=$1
    shift
    if "$@"; then
        PASSED=$((PASSED + 1))
        echo "PASS $description"
    else
        FAILED=$((FAILED + 1))
        echo "FAIL $description"
    fi
}

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
    check "white balance reads manual after the camera switched" has diag-wb-manual "DIAG wb auto=0 errno=OK"
}

report_transfers() {
    local s
    echo "Control transfers per step (from the emulator's log):"
    grep '^STEP END ' "$RUNLOG" | while read -r _ _ s _; do
        printf '  %-32s %s\n' "$s" "$(transfers "$s")"
    done
}

run_checks() {
    RUNLOG=$1
    diag_checks
    if [ "${2:-}" = ctl ]; then
        ctl_checks
    fi
    report_transfers
    if [ $FAILED -gt 0 ]; then
        echo "Run log: $RUNLOG"
    fi
    echo "$PASSED passed, $FAILED failed"
    [ $FAILED -eq 0 ] && [ $PASSED -gt 0 ]
}
