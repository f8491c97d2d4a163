#!/bin/bash
# Chooses qemu's accelerator for the test VM. A writable /dev/kvm is not
# enough: where nested virtualisation is present but broken, a KVM guest
# never leaves the kernel's real-mode setup and prints nothing more, so KVM
# has to show that it boots this kernel before it is trusted.
#
#   vm-accel.sh --kernel VMLINUZ [--qemu CMD] [--kvm-device PATH] [--probe-timeout S]
#
# Prints one line: the accelerator (kvm or tcg), then why. VIDORRA_VM_ACCEL=kvm|tcg
# forces one without a probe.
set -u -o pipefail

KERNEL=
QEMU=qemu-system-x86_64
KVM_DEVICE=/dev/kvm
PROBE_TIMEOUT=12
while [ $# -gt 0 ]; do
    case $1 in
    --kernel) KERNEL=$2; shift 2 ;;
    --qemu) QEMU=$2; shift 2 ;;
    --kvm-device) KVM_DEVICE=$2; shift 2 ;;
    --probe-timeout) PROBE_TIMEOUT=$2; shift 2 ;;
    *) echo "usage: $0 --kernel VMLINUZ [--qemu CMD] [--kvm-device PATH] [--probe-timeout S]" >&2; exit 2 ;;
    esac
done

case ${VIDORRA_VM_ACCEL:-} in
kvm | tcg) echo "$VIDORRA_VM_ACCEL forced by VIDORRA_VM_ACCEL"; exit 0 ;;
'') ;;
*) echo "vm-accel: VIDORRA_VM_ACCEL must be kvm or tcg, not '$VIDORRA_VM_ACCEL'" >&2; exit 2 ;;
esac
if [ ! -f "$KERNEL" ]; then
    echo "vm-accel: no kernel image '$KERNEL'" >&2
    exit 2
fi
if [ ! -w "$KVM_DEVICE" ]; then
    echo "tcg no writable $KVM_DEVICE"
    exit 0
fi

OUT=$(mktemp)
trap 'rm -f "$OUT"' EXIT
now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
seconds() { printf '%d.%d' $(($1 / 1000)) $(($1 % 1000 / 100)); }

# The kernel alone: its banner comes long before it looks for a root file
# system. timeout bounds qemu even if this script is killed first.
START=$(now_ms)
timeout --kill-after=2 "$PROBE_TIMEOUT" "$QEMU" -enable-kvm -nographic -no-reboot -m 256 -smp 1 \
    -net none -kernel "$KERNEL" -append "console=ttyS0 loglevel=7 panic=-1" < /dev/null > "$OUT" 2>&1 &
PID=$!
# The firmware and the kernel's real-mode setup ("Probing EDD") print under
# a broken KVM too; only the kernel proper counts.
spoke() { grep -a -q -E 'Linux version|\[ *[0-9]+\.[0-9]{6}\]' "$OUT"; }
while kill -0 "$PID" 2>/dev/null && ! spoke; do
    sleep 0.1
done
if spoke; then
    kill "$PID" 2>/dev/null
    wait "$PID" 2>/dev/null
    echo "kvm the kernel spoke under KVM after $(seconds $(($(now_ms) - START))) s"
    exit 0
fi
wait "$PID"
RC=$?
if [ $RC -eq 124 ] || [ $RC -eq 137 ]; then
    echo "tcg KVM answered nothing within $PROBE_TIMEOUT s"
else
    LAST=$(tr -d '\r' < "$OUT" | grep -a . | tail -n 1)
    echo "tcg qemu with KVM exited with status $RC before the kernel spoke${LAST:+: $LAST}"
fi
