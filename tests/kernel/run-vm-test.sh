#!/bin/bash
# Boots Debian's kernel in qemu with a small initramfs: the camera emulator
# attached through vhci_hcd, the real uvcvideo driver, uvc-diag and (when
# given) vidorra-ctl. Checks the console log; exits non-zero on any failed
# check and whenever the VM does not come up.
#
#   run-vm-test.sh --work DIR --emulator BIN --diag BIN [--ctl BIN --logind BIN]
#                  [--timeout S] [--image PACKAGE] [--window BIN]
#
# PACKAGE is Debian's kernel image meta-package (linux-image-amd64, the
# default, or e.g. linux-image-6.12-amd64). The image package it names is
# fetched with apt-get download (never installed) and cached under DIR, one
# directory per kernel version.
#
# --window BIN: a VM of its own for the window program (vm-window-*.sh).
set -u -o pipefail

WORK=
EMULATOR=
DIAG=
CTL=
LOGIND=
WINDOW=
MEMORY=768
TIMEOUT=240
IMAGE=linux-image-amd64
SRC=$(cd "$(dirname "$0")" && pwd)
while [ $# -gt 0 ]; do
    case $1 in
    --work) WORK=$2; shift 2 ;;
    --emulator) EMULATOR=$2; shift 2 ;;
    --diag) DIAG=$2; shift 2 ;;
    --ctl) CTL=$2; shift 2 ;;
    --logind) LOGIND=$2; shift 2 ;;
    --timeout) TIMEOUT=$2; shift 2 ;;
    --image) IMAGE=$2; shift 2 ;;
    --window) WINDOW=$2; MEMORY=1536; shift 2 ;;
    *) echo "usage: $0 --work DIR --emulator BIN --diag BIN [--ctl BIN --logind BIN] [--timeout S] [--image PACKAGE] [--window BIN]" >&2
        exit 2 ;;
    esac
done
if [ -z "$WORK" ] || [ ! -x "$EMULATOR" ] || [ ! -x "$DIAG" ]; then
    echo "run-vm-test: --work, --emulator and --diag are required (executables)" >&2
    exit 2
fi
if [ -n "$CTL" ] && { [ ! -x "$CTL" ] || [ ! -x "$LOGIND" ]; }; then
    echo "run-vm-test: --ctl and --logind need executables ($CTL, $LOGIND)" >&2
    exit 2
fi
if [ -n "$WINDOW" ] && [ ! -x "$WINDOW" ]; then
    echo "run-vm-test: $WINDOW is not an executable" >&2
    exit 2
fi
mkdir -p "$WORK"
WORK=$(cd "$WORK" && pwd)
CACHE=$WORK/cache
mkdir -p "$CACHE"

die() { echo "run-vm-test: FAIL: $*" >&2; exit 1; }

# --- tools ---------------------------------------------------------------
have_tools() {
    command -v qemu-system-x86_64 >/dev/null && command -v cpio >/dev/null &&
        command -v depmod >/dev/null && dpkg -s busybox-static >/dev/null 2>&1 &&
        command -v dbus-daemon >/dev/null
}
if ! have_tools; then
    echo "run-vm-test: installing qemu-system-x86, busybox-static, cpio, kmod, dbus-daemon"
    bash "$SRC/../apt-install.sh" qemu-system-x86 busybox-static cpio kmod dbus-daemon >/dev/null ||
        die "cannot install the VM tools"
    have_tools || die "VM tools still missing after install"
fi
BUSYBOX=/bin/busybox
ldd "$BUSYBOX" >/dev/null 2>&1 && die "$BUSYBOX is not the static busybox"

# --- kernel --------------------------------------------------------------
image_package() {
    apt-cache depends "$IMAGE" 2>/dev/null |
        awk '/Depends: linux-image-[0-9]/ { print $2; exit }'
}
PKG=$(image_package)
if [ -z "$PKG" ]; then
    apt-get update -q >/dev/null 2>&1
    PKG=$(image_package)
fi
[ -n "$PKG" ] || die "cannot resolve the kernel image package of $IMAGE"
KROOT=$CACHE/$PKG
if [ ! -d "$KROOT/boot" ]; then
    rm -rf "$KROOT" "$CACHE"/"$PKG"_*.deb
    (cd "$CACHE" && apt-get download "$PKG" >/dev/null 2>&1) || die "apt-get download $PKG failed"
    mkdir -p "$KROOT.tmp"
    dpkg-deb -x "$CACHE"/"$PKG"_*.deb "$KROOT.tmp" || die "cannot unpack $PKG"
    rm -f "$CACHE"/"$PKG"_*.deb
    mv "$KROOT.tmp" "$KROOT"
fi
KVER=$(ls "$KROOT/lib/modules" | head -n 1)
VMLINUZ=$KROOT/boot/vmlinuz-$KVER
[ -f "$VMLINUZ" ] || die "no kernel image in $PKG"
[ -f "$KROOT/lib/modules/$KVER/modules.dep" ] || depmod -b "$KROOT" "$KVER" || die "depmod failed"
echo "run-vm-test: kernel $PKG ($KVER) from $IMAGE"

# --- initramfs -----------------------------------------------------------
ROOT=$WORK/root
rm -rf "$ROOT"
mkdir -p "$ROOT/bin" "$ROOT/lib/modules"
cp "$BUSYBOX" "$ROOT/bin/busybox"
cp "$SRC/vm-init.sh" "$ROOT/init"
chmod 755 "$ROOT/init"
cp "$EMULATOR" "$ROOT/bin/uvc-emulator"
cp "$DIAG" "$ROOT/bin/uvc-diag"

MODDIR=$KROOT/lib/modules/$KVER
declare -A LOADED=()
ORDER=()
module_path() {  # module name -> path relative to $MODDIR, from modules.dep
    local base=${1//_/-}
    awk -F: -v b="$base" '{ n = $1; sub(/.*\//, "", n); sub(/\.ko.*/, "", n); gsub(/_/, "-", n)
        if (n == b) { print $1; exit } }' "$MODDIR/modules.dep"
}
visit() {  # load order: dependencies first
    local rel=$1 deps dep
    [ -n "${LOADED[$rel]:-}" ] && return
    LOADED[$rel]=1
    deps=$(awk -F: -v m="$rel" '$1 == m { print $2; exit }' "$MODDIR/modules.dep")
    for dep in $deps; do visit "$dep"; done
    ORDER+=("$rel")
}
for name in usb-common usbcore mc videodev videobuf2-common videobuf2-v4l2 videobuf2-memops \
    videobuf2-vmalloc uvcvideo usbip-core vhci-hcd; do
    rel=$(module_path "$name")
    [ -n "$rel" ] || die "module $name not found in $PKG"
    visit "$rel"
done
# copy_modules DIR ORDER_FILE REL...: each module, uncompressed, into DIR, and
# its file name onto ORDER_FILE, in the order given.
copy_modules() {
    local dir=$1 order=$2 rel file
    shift 2
    : > "$order"
    for rel in "$@"; do
        file=$(basename "$rel")
        case $file in
        *.ko) cp "$MODDIR/$rel" "$dir/$file" ;;
        *.ko.xz) xz -dc "$MODDIR/$rel" > "$dir/${file%.xz}"; file=${file%.xz} ;;
        *.ko.zst) zstd -qdc "$MODDIR/$rel" > "$dir/${file%.zst}"; file=${file%.zst} ;;
        *) die "unknown module format $file" ;;
        esac
        echo "$file" >> "$order"
    done
}
copy_modules "$ROOT/lib/modules" "$ROOT/modules.order" "${ORDER[@]}"

copy_libraries_of() {  # FILE: every shared library ldd names, at its own path
    ldd "$1" 2>/dev/null | awk '{ for (i = 1; i <= NF; ++i) if ($i ~ /^\//) print $i }' |
        while read -r lib; do
            [ -e "$ROOT$lib" ] && continue
            mkdir -p "$ROOT$(dirname "$lib")"
            cp -L "$lib" "$ROOT$lib"
        done
}
copy_with_libraries() {  # BIN DEST: the executable as /bin/DEST, and its libraries
    cp "$1" "$ROOT/bin/$2"
    copy_libraries_of "$1"
}
# udev's daemon (udevadm under its other name, /bin/systemd-udevd), so that
# udev monitors hear cameras come and go as on a desktop. Debian's udev
# package is fetched like the kernel, never installed; cached per version.
copy_udevd() {
    local version udev_root
    version=$(apt-cache policy udev 2>/dev/null | awk '/Candidate:/ { print $2; exit }')
    udev_root=$CACHE/udev-$version
    if [ ! -x "$udev_root/bin/udevadm" ]; then
        rm -rf "$udev_root" "$udev_root.tmp" "$CACHE"/udev_*.deb
        (cd "$CACHE" && apt-get download udev >/dev/null 2>&1) || die "apt-get download udev failed"
        mkdir -p "$udev_root.tmp"
        dpkg-deb -x "$CACHE"/udev_*.deb "$udev_root.tmp" || die "cannot unpack udev"
        rm -f "$CACHE"/udev_*.deb
        mv "$udev_root.tmp" "$udev_root"
    fi
    copy_with_libraries "$udev_root/bin/udevadm" udevadm
    ln -s udevadm "$ROOT/bin/systemd-udevd"
}
# A system bus at its usual address (the one libdbus knows, also under
# /var/run) for logind's stand-in, which owns its name as root; nothing else
# talks on it.
copy_system_bus() {
    copy_with_libraries "$(command -v dbus-daemon)" dbus-daemon
    copy_with_libraries "$LOGIND" logind-stand-in
    mkdir -p "$ROOT/etc" "$ROOT/var"
    ln -s /run "$ROOT/var/run"
    echo 0123456789abcdef0123456789abcdef > "$ROOT/etc/machine-id"
    # The bus looks its clients' users up (root alone here).
    echo 'root:x:0:0:root:/root:/bin/sh' > "$ROOT/etc/passwd"
    echo 'root:x:0:' > "$ROOT/etc/group"
    printf 'passwd: files\ngroup: files\n' > "$ROOT/etc/nsswitch.conf"
    cat > "$ROOT/etc/system-bus.conf" <<'EOF'
<busconfig>
  <type>system</type>
  <listen>unix:path=/run/dbus/system_bus_socket</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
  </policy>
</busconfig>
EOF
}
if [ -n "$CTL" ]; then
    copy_with_libraries "$CTL" vidorra-ctl
    cp "$SRC/vm-ctl-steps.sh" "$ROOT/ctl-steps.sh"
    cp "$SRC/vm-watch-steps.sh" "$ROOT/watch-steps.sh"
    copy_udevd  # vidorra-ctl watch learns of cameras from udev
    copy_system_bus  # ... and of resumes from logind, here its stand-in
fi
if [ -n "$WINDOW" ]; then
    # shellcheck source=vm-window-payload.sh
    . "$SRC/vm-window-payload.sh"
fi
# The sanitizer settings of the host run (a sanitizer build of vidorra-ctl
# carries its runtimes in through ldd); a suppression file comes along.
: > "$ROOT/env.sh"
for var in ASAN_OPTIONS LSAN_OPTIONS UBSAN_OPTIONS; do
    value=${!var:-}
    [ -n "$value" ] || continue
    supp=$(printf '%s\n' "$value" | tr ':' '\n' | sed -n 's/^suppressions=//p' | head -n 1)
    if [ -n "$supp" ] && [ -f "$supp" ]; then
        cp "$supp" "$ROOT/$var.supp"
        value=$(printf '%s\n' "$value" | sed "s,\(^\|:\)suppressions=[^:]*,\1suppressions=/$var.supp,")
    fi
    printf "export %s='%s'\n" "$var" "$value" >> "$ROOT/env.sh"
done
INITRD=$WORK/initramfs.cpio
(cd "$ROOT" && find . | cpio -o -H newc --quiet) > "$INITRD" || die "cannot build the initramfs"
echo "run-vm-test: initramfs $(du -h "$INITRD" | cut -f1)"

# --- boot ----------------------------------------------------------------
CONSOLE=$WORK/console.log
CHOICE=$("$SRC/vm-accel.sh" --kernel "$VMLINUZ") || die "cannot choose an accelerator"
ACCEL=${CHOICE%% *}
echo "run-vm-test: accelerator $ACCEL (${CHOICE#* })"
START=$(date +%s)
timeout --kill-after=10 "$TIMEOUT" qemu-system-x86_64 -accel "$ACCEL" -nographic -no-reboot \
    -m "$MEMORY" -smp 1 -net none -kernel "$VMLINUZ" -initrd "$INITRD" \
    -append "console=ttyS0 panic=-1 loglevel=4" < /dev/null > "$CONSOLE" 2>&1
QEMU_RC=$?
echo "run-vm-test: VM ran $(( $(date +%s) - START )) s (qemu status $QEMU_RC), console log $CONSOLE"
tr -d '\r' < "$CONSOLE" > "$CONSOLE.txt"
RELEASE=$(sed -n 's/.*VMTEST boot //p' "$CONSOLE.txt" | head -n 1)
[ -n "$RELEASE" ] || { tail -n 40 "$CONSOLE.txt" >&2; die "the VM did not come up"; }
[ "$RELEASE" = "$KVER" ] || die "the VM ran kernel $RELEASE, not $KVER"
grep -q '^VMTEST LOG END' "$CONSOLE.txt" || { tail -n 40 "$CONSOLE.txt" >&2; die "the VM did not finish (timeout ${TIMEOUT}s)"; }
RUNLOG=$WORK/run.log
sed -n '/^VMTEST LOG BEGIN/,/^VMTEST LOG END/p' "$CONSOLE.txt" > "$RUNLOG"

# --- checks --------------------------------------------------------------
# shellcheck source=vm-checks.sh
. "$SRC/vm-checks.sh"
if [ -n "$WINDOW" ]; then
    run_window_checks "$RUNLOG"
    exit
fi
run_checks "$RUNLOG" "$RELEASE" "${CTL:+ctl}"
