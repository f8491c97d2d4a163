#!/usr/bin/env bash
# Installs what building and testing Vidorra needs on Debian 12 (run as root).
# Tests with needs of their own (the Windows cross build, the kernel VM) install
# those themselves.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config python3
  qtbase5-dev qtmultimedia5-dev libqt5multimedia5-plugins
  libudev-dev libbenchmark-dev libx11-dev
  x11-utils dpkg-dev lintian desktop-file-utils
  clang libclang-rt-14-dev
  xvfb xauth openbox fonts-liberation
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad
  systemd man-db  # systemd-analyze verify of the user unit, with its man page link
  dbus-daemon     # a private bus for the watch's stand-in logind
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
