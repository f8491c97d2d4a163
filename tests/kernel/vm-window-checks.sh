# Checks on the window's VM (sourced by vm-checks.sh; run-vm-test.sh --window
# calls run_window_checks). The step "window" holds window-vm's "WINDOW ..."
# lines, with the emulator's line for every request in between; each user
# action lies between "WINDOW phase NAME begin" and "WINDOW phase NAME end".

# Lines of the window step between a phase's markers. The awk programs here
# read to the end: one that exits early breaks its writer's pipe, and under
# pipefail the whole check fails.
phase_out() {
    step_out window | awk -v b="WINDOW phase $1 begin" -v e="WINDOW phase $1 end" \
        '$0 == b { on = 1; next } $0 == e { on = 0 } on { print }'
}
# Control requests of the video-control interface during a phase.
phase_requests() { phase_out "$1" | grep '^EMU req=.* if=0 '; }
# The phase's only control request is LINE (a Set that reached the camera once).
phase_only_request() {
    local got
    got=$(phase_requests "$1")
    [ "$(printf '%s\n' "$got" | grep -c .)" = 1 ] && printf '%s\n' "$got" | grep -F -- "$2" > /dev/null ||
        { echo "    $1 sent:"; printf '%s\n' "$got" | sed 's/^/      /'; return 1; }
}
phase_sets() { phase_requests "$1" | grep -c '^EMU req=SET_CUR '; }
# Selectors of the extension unit's GET_CUR requests during a phase, in order.
phase_reads() { phase_requests "$1" | sed -n 's/^EMU req=GET_CUR if=0 unit=6 sel=\([0-9]*\) .*/\1/p' | paste -sd ' '; }
reads_are() {
    local got
    got=$(phase_reads "$1")
    [ "$got" = "$2" ] || { echo "    $1 read: $got"; return 1; }
}
# The value of KEY in the first "WINDOW WHAT ... when=WHEN ..." line.
window_value() {
    step_out window | grep "^WINDOW $1 when=$2 " | head -n 1 | sed -n "s/.* $3=\([^ ]*\).*/\1/p"
}
window_value_over() {  # WHAT WHEN KEY MIN: the value is a number above MIN
    local v
    v=$(window_value "$1" "$2" "$3")
    [ -n "$v" ] && awk -v v="$v" -v m="$4" 'BEGIN { exit !(v > m) }'
}
# The stream runs from "Open Camera" to the reboot: no stop in between.
stream_kept() {
    step_out window | awk '/^WINDOW phase open end$/ { on = 1 } /^WINDOW phase replug begin$/ { on = 0 }
        on && /^EMU stream start/ { starts++ } on && /^EMU stream stop/ { stops++ }
        END { exit !(starts <= 1 && stops == 0) }'
}
stream_started() { step_out window | grep '^EMU stream start' > /dev/null; }

READ_PASS="9 13 6 7 12 15 14 11 10 18 26 25 24"

run_window_checks() {
    RUNLOG=$1
    check "udevd runs in the VM" grep -q '^VMTEST udevd started' "$RUNLOG"
    check "Qt Multimedia lists the emulated camera and vivid (not on USB)" \
        has window 'WINDOW qt-cameras /dev/video0="Vidorra USB Camera: Vidorra USB",/dev/video2="vivid"'
    check "the window's list holds the emulated camera alone" \
        has window 'WINDOW list when=start count=1 nodes=/dev/video0 items="Vidorra USB Camera: Vidorra USB"'

    check "\"Open Camera\" reads the record, then every setting, in the form's order" reads_are open "$READ_PASS"
    check "... and sends nothing" [ "$(phase_sets open)" = 0 ]
    check "... the record reaches user space" \
        phase_has open "EMU req=GET_CUR if=0 unit=6 sel=9 len=24 data=$RECORD_HEX result=ok"
    check "the first open shows the marked record \"v3 SOC:V9 SIM-1.1\" and the camera's values: DRC 2, 2D NR 3, 3D NR 4" \
        matches window '^WINDOW open when=open settings-ms=[0-9]+ record="v3 SOC:V9 SIM-1\.1" drc=2 nr2d=3 nr3d=4 probe=yes$'
    check "the camera streams once the preview starts" stream_started
    check "a frame reaches the viewfinder" has window 'WINDOW first-frame when=open probed-ms='
    check "the viewfinder shows the test card's eight bars" has window 'WINDOW frame when=first bars=ok '
    check "frames keep coming before any change (paints and probed frames)" \
        both_over flow before-changes

    check "a slider drag (DRC to 5) reaches the camera as one SET: 05 to selector 12" \
        phase_only_request slider "EMU req=SET_CUR if=0 unit=6 sel=12 len=1 data=05 result=ok"
    check "... and the slider and its spin box show 5" has window 'WINDOW slider drc=5 spin=5'
    check "a switch (vertical flip on) reaches the camera as one SET: 01 to selector 24" \
        phase_only_request switch "EMU req=SET_CUR if=0 unit=6 sel=24 len=1 data=01 result=ok"
    check "a preset (Face) reaches the camera as one SET: 05 to selector 13" \
        phase_only_request preset "EMU req=SET_CUR if=0 unit=6 sel=13 len=1 data=05 result=ok"
    check "frames keep coming after the changes" both_over flow after-changes
    check "... still the test card" has window 'WINDOW frame when=after-changes bars=ok '
    check "the stream ran on through the changes (no stop, no restart)" stream_kept

    check "\"Restore Default\" sends one SET: 01 to selector 23" [ "$(phase_sets restore)" = 1 ]
    check "... that one" phase_has restore "EMU req=SET_CUR if=0 unit=6 sel=23 len=1 data=01 result=ok"
    check "... then reads everything back, in the form's order" reads_are restore "$READ_PASS"
    check "... and the form shows the defaults again" \
        has window 'WINDOW restore record="v3 SOC:V9 SIM-1.1" drc=2 flip-v-text=On normal-checked=1'

    check "the preview keeps showing frames for the 10 s measured" both_over rate ""
    check "no probed frame is black or other than the test card" probe_clean
    check "the viewfinder still shows the test card after them" has window 'WINDOW frame when=after-rate bars=ok '

    check "the H.264 switch sends one SET: 00 to selector 18, and the camera reboots" \
        phase_only_request replug "EMU req=SET_CUR if=0 unit=6 sel=18 len=1 data=00 result=ok"
    check "udev's events rebuild the list: it empties, then holds the camera again" \
        has window 'WINDOW replug emptied=1 back=1'
    check "... with the camera that came back alone in it" matches window '^WINDOW list when=back count=1 nodes=/dev/video[0-9]+ items="Vidorra USB Camera: Vidorra USB"$'
    check "\"Open Camera\" on it reads every setting again" reads_are reopen "$READ_PASS"
    check "... and its picture reaches the viewfinder: the test card" has window 'WINDOW frame when=reopen bars=ok '
    check "the window program ran to its end" has window 'WINDOW end status=done'
    check "... and exited 0" rc_is window 0

    if [ $FAILED -gt 0 ]; then
        step_out window | grep -v '^EMU req=GET_\|^EMU std ' | sed 's/^/    /'
    fi
    report_window_figures
    echo "$PASSED passed, $FAILED failed"
    [ $FAILED -eq 0 ] && [ $PASSED -gt 0 ]
}

phase_has() { phase_out "$1" | grep -F -- "$2" > /dev/null; }
# Paints and probed frames both above 0 in a "flow" or "rate" line.
both_over() {
    if [ "$1" = rate ]; then
        local line
        line=$(step_out window | grep '^WINDOW rate ' | head -n 1)
        printf '%s\n' "$line" | grep -q ' paints=[1-9][0-9]* frames=[1-9]' || { echo "    $line"; return 1; }
        return 0
    fi
    window_value_over "$1" "$2" paints 0 && window_value_over "$1" "$2" frames 0
}
probe_clean() {
    local line
    line=$(step_out window | grep '^WINDOW probe when=rate ' | head -n 1)
    printf '%s\n' "$line" | grep -q ' ok=[1-9][0-9]* black=0 wrong=0 ' || { echo "    $line"; return 1; }
}

report_window_figures() {
    echo "Window figures (software emulation when the run log says tcg):"
    step_out window | grep -E '^WINDOW (open|first-frame|flow|rate|probe) ' | sed 's/^/  /'
    echo "Plugins the preview loaded:"
    step_out window | sed -n 's/^WINDOW loaded /  /p' | sort
}
