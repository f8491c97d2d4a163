# The window against the emulated camera (sourced by the VM's /init when the
# initramfs carries the window, run-vm-test.sh --window; /init provides step,
# emulator, wait_camera, log and $LOG). Runs instead of the other phases.

mkdir -p /run/udev /tmp/runtime /tmp/fontconfig
chmod 700 /tmp/runtime
# udevd with no rules: it passes the kernel's events on to libudev monitors.
if systemd-udevd --daemon --resolve-names=never >> $LOG 2>&1; then
    log "VMTEST udevd started"
else
    log "VMTEST udevd failed"
fi

# The camera reboots when its H.264 switch changes, as the real one does.
emulator --reboot-on-switch --reboot-off 3
if wait_camera 60; then
    # A camera that is not on USB, after the emulated one (so it keeps /dev/video0).
    while read -r module; do
        case $module in
        vivid.ko) insmod "/lib/modules/window/$module" n_devs=1 node_types=0x1 ;;
        *) insmod "/lib/modules/window/$module" ;;
        esac || log "VMTEST insmod-failed $module"
    done < /window-modules.order
    step window-nodes uvc-diag find
    step window env HOME=/tmp XDG_RUNTIME_DIR=/tmp/runtime QT_QPA_PLATFORM=offscreen \
        GST_REGISTRY=/tmp/gst-registry.bin window-vm --replug
fi
