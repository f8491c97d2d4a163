#!/bin/busybox sh
# /init of the test VM: loads the USB/IP and uvcvideo modules, attaches the
# camera emulator, runs every step with its output and the emulator's log
# lines in one file, prints that file on the console and powers off. The host
# (run-vm-test.sh) judges the results; nothing here decides pass or fail.
/bin/busybox --install -s /bin
export PATH=/bin
mkdir -p /proc /sys /dev /tmp
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
mount -t tmpfs tmpfs /tmp
dmesg -n 1

[ -f /env.sh ] && . /env.sh
LOG=/tmp/run.log
TRIGGER=/tmp/wb-manual
: > $LOG
log() { echo "$*" >> $LOG; }

finish() {
    echo "VMTEST LOG BEGIN"
    cat $LOG
    echo "VMTEST LOG END"
    echo "VMTEST DMESG BEGIN"
    dmesg | grep -iE 'uvc|usb|vhci|video' | tail -n 80
    echo "VMTEST DMESG END"
    sync
    poweroff -f
}

# step NAME COMMAND...: output and exit status of one command between markers.
# The time a step took, in ms, goes on a line of its own after its end.
uptime_ms() { sed 's/^\([0-9]*\)\.\([0-9]*\) .*/\1\20/' /proc/uptime; }
step() {
    name=$1
    shift
    log "STEP BEGIN $name"
    started=$(uptime_ms)
    "$@" >> $LOG 2>&1
    log "STEP END $name rc=$?"
    log "STEP TIME $name ms=$(($(uptime_ms) - started))"
}

echo "VMTEST boot $(uname -r)"
while read -r module; do
    insmod "/lib/modules/$module" || log "VMTEST insmod-failed $module"
done < /modules.order

# wait_camera SECONDS: until a capture node answers.
wait_camera() {
    i=0
    while [ $i -lt "$1" ]; do
        node=$(uvc-diag find 2>/dev/null | sed -n 's/^DIAG capture \(\/dev\/.*\)/\1/p')
        if [ -n "$node" ]; then
            log "VMTEST camera $node"
            return 0
        fi
        sleep 1
        i=$((i + 1))
    done
    log "VMTEST camera none"
    return 1
}

# Diagnostics of the driver and the emulator on their own (unit 6 is the extension unit).
diag_phase() {
    dev=$1
    step diag-len-24 uvc-diag xu "$dev" 6 24 GET_LEN 2
    step diag-info-9 uvc-diag xu "$dev" 6 9 GET_INFO 1
    step diag-get-9 uvc-diag xu "$dev" 6 9 GET_CUR 24
    step diag-set-24 uvc-diag xu "$dev" 6 24 SET_CUR 1 01
    step diag-get-24 uvc-diag xu "$dev" 6 24 GET_CUR 1
    step diag-set-9 uvc-diag xu "$dev" 6 9 SET_CUR 24
    step diag-get-23 uvc-diag xu "$dev" 6 23 GET_CUR 1
    step diag-set-23 uvc-diag xu "$dev" 6 23 SET_CUR 1 01
    step diag-get-24-restored uvc-diag xu "$dev" 6 24 GET_CUR 1
    step diag-sel-8 uvc-diag xu "$dev" 6 8 GET_CUR 1
    step diag-range uvc-diag xu "$dev" 6 6 SET_CUR 1 09
    step diag-size uvc-diag xu "$dev" 6 24 GET_CUR 24
    step diag-refused uvc-diag xu "$dev" 6 20 GET_CUR 1
    step diag-unit-5 uvc-diag xu "$dev" 5 24 GET_CUR 1
    step diag-wb-auto uvc-diag wb "$dev"
    # A temperature while white balance is automatic: what the driver's own
    # controls answer (the camera would stall it with "wrong state").
    step diag-wb-set-auto uvc-diag wb-set "$dev" 5000
    # Selector 21 stalls a Set with the sent byte as request error code.
    for code in 0 1 2 3 4 5 6 7 8 9; do
        step diag-error-$code uvc-diag xu "$dev" 6 21 SET_CUR 1 0$code
    done
    # Two seconds of the MJPEG stream, each frame matched against the test card.
    step diag-grab uvc-diag grab "$dev" 60
}

emulator() {
    uvc-emulator --log $LOG --wb-trigger $TRIGGER "$@" &
    emulator_pid=$!
}

# restart_emulator ARGS...: unplug the camera, plug one made with ARGS.
restart_emulator() {
    kill "$emulator_pid"
    wait "$emulator_pid"
    i=0
    while [ $i -lt 10 ] && uvc-diag find > /dev/null 2>&1; do
        sleep 1
        i=$((i + 1))
    done
    emulator "$@"
    wait_camera 60
}

# Cameras that misbehave (the emulator's fault options, README): what the
# driver answers, request by request, on descriptors kept open, with the
# milliseconds each took. Extension-unit requests count from the emulator's
# start; the first query of a selector costs three (GET_LEN, GET_INFO, the query).
fault_phase() {
    if restart_emulator --silent-from 4; then
        step fault-silent uvc-diag --ms steps "$node" open \
            xu:6:24:GET_CUR:1 xu:6:24:GET_CUR:1 xu:6:25:GET_CUR:1
    fi
    if restart_emulator --silent-from 4 --answer-again-after 3; then
        step fault-answer-again uvc-diag --ms steps "$node" open \
            xu:6:24:GET_CUR:1 xu:6:24:GET_CUR:1 xu:6:24:GET_CUR:1
    fi
    if restart_emulator --unplug-after 3; then
        step fault-unplug uvc-diag --ms steps "$node" open \
            xu:6:24:GET_CUR:1 xu:6:24:GET_CUR:1 wait-gone:10 xu:6:24:GET_CUR:1 open nodes
    fi
    if restart_emulator --reboot-on-switch; then
        step fault-reboot-held uvc-diag --ms steps "$node" open \
            xu:6:18:SET_CUR:1:00 xu:6:24:GET_CUR:1 wait-gone:10 xu:6:24:GET_CUR:1 \
            wait-capture:30 xu:6:24:GET_CUR:1 open:found xu:6:18:GET_CUR:1 nodes
        if wait_camera 30; then
            step fault-reboot-closed uvc-diag --ms steps "$node" open \
                xu:6:26:SET_CUR:1:01 close wait-gone:10 wait-capture:30 open:found xu:6:26:GET_CUR:1 nodes
        fi
    fi
}

# The window's own VM (run-vm-test.sh --window): its steps alone.
if [ -f /window-steps.sh ]; then
    . /window-steps.sh
    kill $emulator_pid 2>/dev/null
    wait $emulator_pid 2>/dev/null
    finish
fi

emulator
if wait_camera 60; then
    diag_phase "$node"
    if [ -x /bin/vidorra-ctl ] && [ -f /ctl-steps.sh ]; then
        . /ctl-steps.sh
    fi
    touch $TRIGGER
    step diag-wb-manual uvc-diag wb "$node"
    # Without auto-update in GET_INFO, uvcvideo answers from its cache and
    # never sees the camera's own switch to manual.
    if restart_emulator --wb-auto-info 0x03 --wb-trigger /tmp/wb-manual-2; then
        step diag-cached-wb-before uvc-diag wb "$node"
        touch /tmp/wb-manual-2
        sleep 1  # the emulator looks for the file five times a second
        step diag-cached-wb-after uvc-diag wb "$node"
    fi
    fault_phase
fi
kill $emulator_pid 2>/dev/null
wait $emulator_pid 2>/dev/null
finish
