# Checks of the remember and watch steps (vm-watch-steps.sh), sourced by
# vm-checks.sh; run by ctl_checks.

# Every Set that reached the extension unit in a step, one line each.
xu_sets() { step_out "$1" | grep -o 'EMU req=SET_CUR if=0 unit=6 sel=[0-9]* len=1 data=[0-9a-f]* result=ok'; }
# N Sets of the extension unit in the step, no selector twice.
sets_once() {
    [ "$(xu_sets "$1" | grep -c .)" = "$2" ] &&
        [ "$(xu_sets "$1" | sed 's/ len=.*//' | sort -u | grep -c .)" = "$2" ]
}
# Exactly COUNT Sets of selector SEL in the step.
sel_sets() { [ "$(xu_sets "$1" | grep -c " sel=$2 ")" = "$3" ]; }
no_line() { ! grep -F -- "$1" "$RUNLOG" > /dev/null; }
no_sets() { [ "$(xu_sets "$1" | grep -c .)" = 0 ]; }
attached_again() { [ "$(step_out watch-second-log | grep -c '^EMU attached port=1')" -ge 2 ]; }
matches() { step_out "$1" | grep -E -- "$2" > /dev/null; }

# What one appearance cost: the time from the emulator's attach to the last
# Set of the extension unit, and the control transfers from the attach on
# (all, and those of the extension unit, which only vidorra-ctl asks for).
appearance_figures() {
    local s=$1 attach last total xu
    attach=$(step_out "$s" | sed -n 's/^EMU attached port=0 t=\([0-9.]*\)$/\1/p' | tail -n 1)
    last=$(step_out "$s" | grep '^EMU req=SET_CUR if=0 unit=6 ' | tail -n 1 | sed -n 's/.* t=\([0-9.]*\)$/\1/p')
    total=$(step_out "$s" | awk '/^EMU attached port=0/ { on = 1 } on && /^EMU req=.* if=0 /' | grep -c .)
    xu=$(step_out "$s" | awk '/^EMU attached port=0/ { on = 1 } on && /^EMU req=.* if=0 unit=6 /' | grep -c .)
    if [ -z "$attach" ] || [ -z "$last" ]; then
        echo "  $s: no times in the log"
        return
    fi
    printf '  %-14s appearance to last remembered Set %s s; control transfers after the attach: %s, of them %s to the extension unit (%s Sets)\n' \
        "$s" "$(awk -v a="$attach" -v b="$last" 'BEGIN { printf "%.2f", b - a }')" "$total" "$xu" "$(xu_sets "$s" | grep -c .)"
}

watch_checks() {
    check "list shows both cameras, each with the identity of its serial" \
        has_all watch-list "-EMU0001" "-EMU0002"
    check "remember exits 0" rc_is watch-remember 0
    check "the remembered file holds the settings" \
        has_all watch-file nr2d=5 drc=7 image-style=face flip-h=on exposure-compensation=-3 h264=off audio=off
    check "remembered lists the camera as present" \
        matches watch-remembered "-EMU0001$(printf '\t')present: /dev/video[0-9]+ "
    check "at start the watch puts the settings back on the camera there" \
        has watch-start "-EMU0001 at /dev/video0: put back 12 remembered settings; h264 already off, not sent; audio already off, not sent"
    check "... each once, H.264 and audio not at all (they hold the value)" sets_once watch-start 10
    check "after the camera is attached again, each remembered Set once" sets_once watch-replug 11
    check "... with the remembered values" has_all watch-replug "unit=6 sel=6 len=1 data=05 result=ok" \
        "unit=6 sel=12 len=1 data=07 result=ok" "unit=6 sel=13 len=1 data=05 result=ok" \
        "unit=6 sel=25 len=1 data=01 result=ok" "unit=6 sel=11 len=1 data=fd result=ok"
    check "... H.264 once, last, as it differed" sel_sets watch-replug 18 1
    check "... which the watch reports" has watch-replug "h264=off sent; the camera reboots to apply it"
    check "back from the reboot, the settings again, once each" sets_once watch-reboot 10
    check "... and H.264 not again" sel_sets watch-reboot 18 0
    check "... which the watch reports" has watch-reboot "h264 already off, not sent"
    check "the second camera was attached again while the watch ran" attached_again
    check "no Set reaches the second camera" no_sets watch-second-log
    check "the watch has no line for the second camera" no_line "-EMU0002 at /dev/video"
    check "SIGTERM ends the watch with status 0" rc_is watch-stop 0
    check "... saying so" has watch-stop "vidorra-ctl: stopped (SIGTERM)"
    echo "Remembered settings put back (from the emulator's log):"
    appearance_figures watch-replug
    appearance_figures watch-reboot
    if [ $FAILED -gt 0 ]; then
        for s in watch-list watch-remembered watch-start watch-replug watch-reboot watch-stop; do
            show_step "$s"
        done
    fi
}
