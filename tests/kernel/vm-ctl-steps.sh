# vidorra-ctl against the emulated camera (sourced by the VM's /init, which
# provides step, restart_emulator, $node, $LOG and $TRIGGER).

step ctl-list vidorra-ctl list
step ctl-info vidorra-ctl --verbose info
step ctl-info-again vidorra-ctl info
step ctl-set-flip-v vidorra-ctl set flip-v=on
step ctl-get-flip-v vidorra-ctl get flip-v
step ctl-set-nr2d vidorra-ctl set nr2d=5
step ctl-set-red-gain vidorra-ctl set red-gain=7
step ctl-set-exposure vidorra-ctl set exposure-compensation=-3
step ctl-set-style vidorra-ctl set image-style=face
step ctl-set-switch vidorra-ctl set exposure-compensation-switch=on
step ctl-set-repeat vidorra-ctl set drc=5 drc=6 drc=7
step ctl-get-set vidorra-ctl get nr2d red-gain exposure-compensation image-style exposure-compensation-switch drc
step ctl-set-h264 vidorra-ctl set h264=off
step ctl-red-gain-auto vidorra-ctl set red-gain=-3
step ctl-read-only vidorra-ctl set device-info=1
step ctl-out-of-range vidorra-ctl set nr2d=9
step ctl-restore vidorra-ctl restore-defaults
step ctl-info-restored vidorra-ctl info
touch "$TRIGGER"
step ctl-info-manual vidorra-ctl --verbose info
step ctl-red-gain-manual vidorra-ctl set red-gain=-3
step ctl-get-red-gain vidorra-ctl get red-gain

# A camera whose extension unit leaves the audio switch (selector 26) out of bmControls.
if restart_emulator --omit-selector 26; then
    step ctl-omitted-get vidorra-ctl get audio
    step ctl-omitted-set vidorra-ctl set audio=on
    step ctl-omitted-info vidorra-ctl info
fi

# Settings that survive a replug: remember and watch.
[ -f /watch-steps.sh ] && . /watch-steps.sh
