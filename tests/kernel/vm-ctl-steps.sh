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

# Cameras that misbehave, as vidorra-ctl meets them (the emulator's fault
# options; extension-unit requests count from the emulator's start, and the
# first query of a selector costs three).
if restart_emulator --silent-from 1; then
    step ctl-silent-info vidorra-ctl --device "$node" info
    step ctl-silent-restore vidorra-ctl --device "$node" restore-defaults
fi
if restart_emulator --silent-from 14; then  # in the middle of the read pass
    step ctl-silent-mid-info vidorra-ctl info
fi
if restart_emulator --silent-from 1 --answer-again-after 3; then
    step ctl-answering-again-before vidorra-ctl --device "$node" get drc
    sleep 3
    step ctl-answering-again-after vidorra-ctl --device "$node" get drc
fi
if restart_emulator --unplug-after 12; then
    step ctl-unplug-info vidorra-ctl info
fi
if restart_emulator --reboot-on-switch; then
    # Held open, the old node keeps its number: the camera comes back on another.
    exec 3< "$node"
    step ctl-reboot-set vidorra-ctl set flip-v=on h264=off
    sleep 3
    wait_camera 30
    step ctl-reboot-list vidorra-ctl list
    step ctl-reboot-get vidorra-ctl get h264 flip-v
    exec 3<&-
fi
restart_emulator
