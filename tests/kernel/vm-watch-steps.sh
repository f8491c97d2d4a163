# Settings that survive a replug and a resume: vidorra-ctl remember and watch
# against the real uvcvideo, with udev's daemon announcing the nodes and a
# stand-in for logind announcing suspend and resume on the system bus, as on
# a desktop.
# Sourced by /ctl-steps.sh, with step, emulator, restart_emulator,
# $emulator_pid, $LOG and $TRIGGER from /init. The emulators log with times
# (--log-times), for the figures the checks report; the second camera (USB
# port 2, another serial) logs to a file of its own.

export XDG_CONFIG_HOME=/tmp/config
EMU2_LOG=/tmp/emulator-2.log
POWER_LOSS=/tmp/power-loss  # the first camera's --power-loss-trigger

# wait_log PATTERN COUNT SECONDS: until COUNT lines of the run log match PATTERN.
wait_log() {
    i=0
    while [ "$(grep -c -- "$1" $LOG)" -lt "$2" ]; do
        [ $i -ge $(($3 * 10)) ] && return 1
        usleep 100000
        i=$((i + 1))
    done
}

# usb_port PORT present|gone: until a USB device with a video node is on
# root-hub port PORT, or none is; at most 60 s.
usb_port() {
    i=0
    while [ $i -lt 600 ]; do
        if [ -d /sys/bus/usb/devices/1-$1:1.0/video4linux ]; then
            [ "$2" = present ] && return 0
        else
            [ "$2" = gone ] && return 0
        fi
        usleep 100000
        i=$((i + 1))
    done
    return 1
}

second_emulator() {
    uvc-emulator --port 1 --serial EMU0002 --log-times $EMU2_LOG --wb-trigger $TRIGGER &
    emulator2_pid=$!
}

# replug APPEARANCES ARGS...: the first camera leaves and comes back made
# with ARGS (defaults otherwise: a camera that forgot its settings); returns
# once the watch has said what it put back on each of its APPEARANCES (a
# reboot makes two), or after at most 60 s.
PUT_BACK_1="-EMU0001 at /dev/video[0-9]*: put back"
replug() {
    appearances=$1
    shift
    before=$(grep -c -- "$PUT_BACK_1" $LOG)
    kill "$emulator_pid"
    wait "$emulator_pid"
    usb_port 1 gone
    emulator --serial EMU0001 --log-times $LOG "$@"
    wait_log "$PUT_BACK_1" $((before + appearances)) 60
}

# The second camera leaves and comes back; the watch has nothing for it, so
# this waits for its node and then as long again as a first camera takes.
replug_second() {
    kill "$emulator2_pid"
    wait "$emulator2_pid"
    usb_port 2 gone
    second_emulator
    usb_port 2 present && sleep 5
}

# The system bus, and on it the stand-in for logind (its lines go to the log).
start_system_bus() {
    mkdir -p /run/dbus
    dbus-daemon --config-file=/etc/system-bus.conf --nofork &
    bus_pid=$!
    i=0
    while [ ! -S /run/dbus/system_bus_socket ] && [ $i -lt 100 ]; do
        usleep 100000
        i=$((i + 1))
    done
    logind-stand-in &
    logind_pid=$!
    wait_log "^LOGIND ready" 1 10
}

# suspend lose|keep: logind announces the sleep; the first camera loses power
# in it, or not; then logind announces the resume. Returns once the watch has
# said what it did about the first camera after it, or after at most 60 s.
AFTER_RESUME_1="-EMU0001 at /dev/video[0-9]*: after the resume: "
suspend() {
    before=$(grep -c -- "$AFTER_RESUME_1" $LOG)
    sleeps=$(grep -c "^LOGIND sent PrepareForSleep(true)" $LOG)
    kill -USR1 "$logind_pid"
    wait_log "^LOGIND sent PrepareForSleep(true)" $((sleeps + 1)) 10
    if [ "$1" = lose ]; then
        losses=$(grep -c "^EMU event=power-lost" $LOG)
        touch $POWER_LOSS
        wait_log "^EMU event=power-lost" $((losses + 1)) 10
    fi
    kill -USR2 "$logind_pid"
    wait_log "$AFTER_RESUME_1" $((before + 1)) 60
}

list_cameras() { vidorra-ctl list | tee /tmp/cameras.txt; }

stop_watch() {
    kill -TERM "$watch_pid"
    wait "$watch_pid"
    rc=$?
    echo "vidorra-ctl watch ended with status $rc"
    return $rc
}

mkdir -p /run
mount -t tmpfs tmpfs /run
step watch-udevd systemd-udevd --daemon
i=0
while [ ! -e /run/udev/control ] && [ $i -lt 100 ]; do
    usleep 100000
    i=$((i + 1))
done

# The first camera afresh, with times in its log, and its twin but for the serial.
kill "$emulator_pid"
wait "$emulator_pid"
usb_port 1 gone
emulator --serial EMU0001 --log-times $LOG
second_emulator
usb_port 1 present && usb_port 2 present || log "VMTEST watch: the two cameras did not both appear"

step watch-list list_cameras
ID1=$(sed -n 's/.*identity: \(.*-EMU0001\)$/\1/p' /tmp/cameras.txt)
step watch-set vidorra-ctl --device "$ID1" set nr2d=5 drc=7 image-style=face flip-h=on exposure-compensation=-3 h264=off
step watch-remember vidorra-ctl --device "$ID1" remember
step watch-file cat "$XDG_CONFIG_HOME/vidorra/cameras/$ID1.conf"
step watch-remembered vidorra-ctl remembered
step watch-bus start_system_bus

# At start the watch puts back what the cameras already there have remembered.
log "STEP BEGIN watch-start"
vidorra-ctl watch 2>> $LOG &
watch_pid=$!
wait_log "$PUT_BACK_1" 1 60
log "STEP END watch-start rc=$?"

# Attached again with its defaults, as a camera that reboots to apply an
# H.264 change: the watch's H.264 Set makes it leave and come back as a new
# device, with the settings it had.
step watch-replug replug 2 --reboot-on-switch
# A camera back from that reboot with H.264 off but the rest forgotten.
step watch-reboot replug 1 --value 18=00 --power-loss-trigger $POWER_LOSS
# Suspended and resumed: the camera's port lost power, so it holds its start
# values again (H.264 off, the rest at their defaults); then once more with
# the port powered throughout.
step watch-resume-lost suspend lose
step watch-resume-kept suspend keep
step watch-second-replug replug_second
step watch-stop stop_watch
step watch-second-log cat $EMU2_LOG

# As before: one camera on the first port, nothing watching, no bus.
kill "$logind_pid" "$bus_pid" "$emulator2_pid"
wait "$logind_pid" "$bus_pid" "$emulator2_pid"
usb_port 2 gone
restart_emulator
