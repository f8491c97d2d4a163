# Checks of the remember and watch steps (vm-watch-steps.sh), sourced by
# vm-checks.sh; run by ctl_checks.

# Appearance N (1, 2, ...) of the first camera within a step: from an attach
# of the emulator (the first, or after a reboot) to the next.
appearance() { step_out "$1" | awk -v n="$2" '/^EMU (attached port=0|event=attach .*port=0)/ { k++ } k == n'; }
# Every Set that reached the extension unit in a step (or in appearance N
# of it), one line each.
xu_sets() {
    if [ -n "${2:-}" ]; then appearance "$1" "$2"; else step_out "$1"; fi |
        grep -o 'EMU req=SET_CUR if=0 unit=6 sel=[0-9]* len=1 data=[0-9a-f]* result=ok'
}
# sets_once STEP N [APPEARANCE]: N Sets of the extension unit, no selector twice.
sets_once() {
    [ "$(xu_sets "$1" "${3:-}" | grep -c .)" = "$2" ] &&
        [ "$(xu_sets "$1" "${3:-}" | sed 's/ len=.*//' | sort -u | grep -c .)" = "$2" ]
}
# last_set_is STEP APPEARANCE SEL BYTE
last_set_is() { [ "$(xu_sets "$1" "$2" | tail -n 1)" = "EMU req=SET_CUR if=0 unit=6 sel=$3 len=1 data=$4 result=ok" ]; }
# The watch's put-back lines for the first camera in a step, in order.
put_back() { step_out "$1" | grep -- "-EMU0001 at /dev/video[0-9]*: put back" | sed -n "$2p"; }
put_back_has() { put_back "$1" "$2" | grep -F -- "$3" > /dev/null; }
rebooted() { has watch-replug "EMU event=detach reason=reboot" && [ "$(appearance watch-replug 2 | grep -c .)" -gt 0 ]; }
# Exactly COUNT Sets of selector SEL in the step.
sel_sets() { [ "$(xu_sets "$1" | grep -c " sel=$2 ")" = "$3" ]; }
no_line() { ! grep -F -- "$1" "$RUNLOG" > /dev/null; }
no_sets() { [ "$(xu_sets "$1" | grep -c .)" = 0 ]; }
attached_again() { [ "$(step_out watch-second-log | grep -c '^EMU attached port=1')" -ge 2 ]; }
matches() { step_out "$1" | grep -E -- "$2" > /dev/null; }

# What appearance N of a step cost: the time from the emulator's attach to
# the last Set of the extension unit, and the control transfers from the
# attach on (all, and those of the extension unit, which only vidorra-ctl
# asks for).
appearance_figures() {
    local s=$1 n=$2 what=$3 attach last total xu
    attach=$(appearance "$s" "$n" | head -n 1 | sed -n 's/.* t=\([0-9.]*\)$/\1/p')
    last=$(appearance "$s" "$n" | grep '^EMU req=SET_CUR if=0 unit=6 ' | tail -n 1 | sed -n 's/.* t=\([0-9.]*\)$/\1/p')
    total=$(appearance "$s" "$n" | grep -c '^EMU req=.* if=0 ')
    xu=$(appearance "$s" "$n" | grep -c '^EMU req=.* if=0 unit=6 ')
    if [ -z "$attach" ] || [ -z "$last" ]; then
        echo "  $what: no times in the log"
        return
    fi
    printf '  %s: appearance to last remembered Set %s s; %s control transfers from the attach, %s of them to the extension unit (%s Sets)\n' \
        "$what" "$(awk -v a="$attach" -v b="$last" 'BEGIN { printf "%.2f", b - a }')" "$total" "$xu" "$(xu_sets "$s" "$n" | grep -c .)"
}

# The same for a resume: from logind's PrepareForSleep(false) on.
resume_figures() {
    local s=$1 what=$2 wake last
    wake=$(step_out "$s" | sed -n 's/^LOGIND sent PrepareForSleep(false) t=\([0-9.]*\)$/\1/p')
    last=$(step_out "$s" | grep '^EMU req=SET_CUR if=0 unit=6 ' | tail -n 1 | sed -n 's/.* t=\([0-9.]*\)$/\1/p')
    if [ -z "$wake" ]; then
        echo "  $what: no resume in the log"
        return
    fi
    printf '  %s: resume to last remembered Set %s; %s control transfers from the resume, %s of them to the extension unit (%s Sets)\n' \
        "$what" "$([ -n "$last" ] && awk -v a="$wake" -v b="$last" 'BEGIN { printf "%.2f s", b - a }' || echo "(none)")" \
        "$(transfers "$s")" "$(step_out "$s" | grep -c '^EMU req=.* if=0 unit=6 ')" "$(xu_sets "$s" | grep -c .)"
}
# Reads of the extension unit in a step.
xu_reads() { [ "$(step_out "$1" | grep -c '^EMU req=GET_CUR if=0 unit=6 ')" = "$2" ]; }
reads_without_sets() { xu_reads "$1" "$2" && no_sets "$1"; }

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
    check "after the camera is attached again, each remembered Set once" sets_once watch-replug 11 1
    check "... with the remembered values" has_all watch-replug "unit=6 sel=6 len=1 data=05 result=ok" \
        "unit=6 sel=12 len=1 data=07 result=ok" "unit=6 sel=13 len=1 data=05 result=ok" \
        "unit=6 sel=25 len=1 data=01 result=ok" "unit=6 sel=11 len=1 data=fd result=ok"
    check "... H.264 last, as it differed" last_set_is watch-replug 1 18 00
    check "... which the watch reports" put_back_has watch-replug 1 "h264=off sent; the camera reboots to apply it"
    check "the camera rebooted to apply it and came back" rebooted
    check "back from the reboot, each remembered Set once again" sets_once watch-replug 10 2
    check "... and H.264 never again" sel_sets watch-replug 18 1
    check "... which the watch reports" put_back_has watch-replug 2 "h264 already off, not sent"
    check "back from a reboot that forgot the rest, the settings again, once each" sets_once watch-reboot 10
    check "... and H.264 not" sel_sets watch-reboot 18 0
    check "... which the watch reports" has watch-reboot "h264 already off, not sent"
    check "the system bus runs with logind's stand-in on it" has watch-bus "LOGIND ready"
    check "after a resume in which the camera lost its settings, the watch reports what it put back" \
        has watch-resume-lost "after the resume: put back 12 remembered settings (5 sent, the others still held); h264 already off, not sent; audio already off, not sent"
    check "... and sends each lost setting once, with its remembered value, nothing else" \
        has_all watch-resume-lost "unit=6 sel=6 len=1 data=05 result=ok" "unit=6 sel=12 len=1 data=07 result=ok" \
        "unit=6 sel=13 len=1 data=05 result=ok" "unit=6 sel=25 len=1 data=01 result=ok" "unit=6 sel=11 len=1 data=fd result=ok"
    check "... five Sets, no selector twice" sets_once watch-resume-lost 5
    check "after a resume in which the camera kept them, the watch says so" \
        has watch-resume-kept "after the resume: the camera still held its 12 remembered settings; nothing sent"
    # One check: "no Set" alone would pass had the watch not woken at all.
    check "... having read the 12 settings, and sent nothing" reads_without_sets watch-resume-kept 12
    check "the second camera was attached again while the watch ran" attached_again
    check "no Set reaches the second camera" no_sets watch-second-log
    check "the watch has no line for the second camera" no_line "-EMU0002 at /dev/video"
    check "SIGTERM ends the watch with status 0" rc_is watch-stop 0
    check "... saying so" has watch-stop "vidorra-ctl: stopped (SIGTERM)"
    echo "Remembered settings put back (from the emulator's log):"
    appearance_figures watch-replug 1 "attached with its defaults"
    appearance_figures watch-replug 2 "back from its H.264 reboot"
    appearance_figures watch-reboot 1 "back with H.264 off, the rest forgotten"
    resume_figures watch-resume-lost "resumed, the camera's settings lost"
    resume_figures watch-resume-kept "resumed, the camera's settings kept"
    if [ $FAILED -gt 0 ]; then
        for s in watch-list watch-remembered watch-bus watch-start watch-replug watch-reboot \
            watch-resume-lost watch-resume-kept watch-stop; do
            show_step "$s"
        done
    fi
}
