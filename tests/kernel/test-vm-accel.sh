#!/bin/bash
# The accelerator choice of the VM test, against stand-in qemu commands
# (fake-qemu/), so that it is tested on machines without KVM or with a
# broken one. Asserts what is chosen and how long choosing took.
set -u -o pipefail

SRC=$(cd "$(dirname "$0")" && pwd)
ACCEL=$SRC/vm-accel.sh
FAKE=$SRC/fake-qemu
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
KERNEL=$TMP/vmlinuz
KVM=$TMP/kvm  # writable, like a /dev/kvm that opens
: > "$KERNEL"
: > "$KVM"
export FAKE_QEMU_LOG=$TMP/qemu.log

# shellcheck source=check.sh
. "$SRC/check.sh"

# choose ARGS...: sets CHOICE (the accelerator), WHY, RC and MS (milliseconds taken).
choose() {
    local start line
    : > "$FAKE_QEMU_LOG"
    start=$(date +%s%N)
    line=$("$ACCEL" --kernel "$KERNEL" --kvm-device "$KVM" "$@" 2> "$TMP/stderr")
    RC=$?
    MS=$((($(date +%s%N) - start) / 1000000))
    CHOICE=${line%% *}
    WHY=${line#* }
    echo "  $* -> rc=$RC '$line' in $MS ms"
}
is() { [ "$1" = "$2" ]; }
within() { [ "$MS" -ge $(($1 * 1000)) ] && [ "$MS" -le $(($2 * 1000)) ]; }
mentions() { printf '%s\n' "$WHY" | grep -F -- "$1" > /dev/null; }
probed_with_kvm() { grep -F -- "-enable-kvm" "$FAKE_QEMU_LOG" | grep -F -- "-kernel $KERNEL" > /dev/null; }
not_started() { [ ! -s "$FAKE_QEMU_LOG" ]; }
# The stand-in the probe started is gone once the choice is made.
reaped() {
    local pid
    pid=$(cut -d' ' -f1 "$FAKE_QEMU_LOG")
    [ -n "$pid" ] && ! kill -0 "$pid" 2> /dev/null
}

unset VIDORRA_VM_ACCEL

choose --qemu "$FAKE/firmware-only"
check "a guest that stops after the firmware: tcg" is "$CHOICE" tcg
check "... after the default probe time of 12 s, not longer than 15 s" within 12 15
check "... and the reason says so" mentions "KVM answered nothing within 12 s"
check "... from a probe with -enable-kvm of the given kernel" probed_with_kvm
check "... which is gone afterwards" reaped

choose --qemu "$FAKE/silent" --probe-timeout 2
check "a silent guest with a 2 s probe: tcg" is "$CHOICE" tcg
check "... after 2 to 4 s" within 2 4
check "... which is gone afterwards" reaped

choose --qemu "$FAKE/kernel-line"
check "a guest whose kernel speaks at once: kvm" is "$CHOICE" kvm
check "... within 2 s" within 0 2
check "... which is gone afterwards" reaped

choose --qemu "$FAKE/fails"
check "a qemu that fails to start: tcg" is "$CHOICE" tcg
check "... within 2 s" within 0 2
check "... with qemu's status and last words" mentions "exited with status 1 before the kernel spoke: qemu-system-x86_64: failed"

choose --qemu "$FAKE/kernel-line" --kvm-device "$TMP/none"
check "no writable KVM device: tcg" is "$CHOICE" tcg
check "... without a probe" not_started

VIDORRA_VM_ACCEL=kvm choose --qemu "$FAKE/silent"
check "VIDORRA_VM_ACCEL=kvm: kvm" is "$CHOICE" kvm
check "... without a probe" not_started
check "... within 2 s" within 0 2

VIDORRA_VM_ACCEL=tcg choose --qemu "$FAKE/kernel-line"
check "VIDORRA_VM_ACCEL=tcg: tcg" is "$CHOICE" tcg
check "... without a probe" not_started

VIDORRA_VM_ACCEL=xen choose --qemu "$FAKE/kernel-line"
check "VIDORRA_VM_ACCEL=xen is refused (exit 2)" is "$RC" 2

echo "$PASSED passed, $FAILED failed"
[ $FAILED -eq 0 ]
