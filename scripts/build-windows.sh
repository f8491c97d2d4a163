#!/usr/bin/env bash
# Installs what the Windows build needs (MinGW-w64, Wine, NSIS, Xvfb), builds
# Qt 5.15 for Windows from Debian's sources when the cache lacks it, builds
# the Windows programs, their zip and installer, and runs their tests under
# Wine. Ends with one summary line; the exit status is non-zero on failure.
#   VIDORRA_QT_CACHE   where Qt for Windows is kept (default ~/.cache/vidorra)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${VIDORRA_WINDOWS_BUILD:-$here/build-windows}
jobs=$(nproc)
started=$(date +%s)

bash "$here/scripts/install-deps.sh"
packages=(g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev binutils-mingw-w64-x86-64 wine64 nsis
  xvfb xauth openbox fonts-liberation dpkg-dev make perl g++)
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

summary() {
  echo "== summary =="
  echo "windows build: $1 ($(($(date +%s) - started)) s)"
}
trap 'summary "FAILED (stopped early)"' ERR

qt_started=$(date +%s)
qt=$(bash "$here/scripts/windows/build-qt.sh" | tail -n 1)
echo "Qt for Windows: $qt ($(($(date +%s) - qt_started)) s)"

# vidorra-ctl-sim for Linux, whose output the Windows one must match.
cmake -S "$here" -B "$build/linux" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVIDORRA_BUILD_TESTS=OFF \
  -DVIDORRA_BUILD_BENCH=OFF >/dev/null
cmake --build "$build/linux" -j"$jobs" --target vidorra-ctl-sim

cmake -S "$here" -B "$build/windows" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS=-Werror \
  -DCMAKE_TOOLCHAIN_FILE="$here/packaging/windows/mingw-w64.cmake" -DVIDORRA_QT_PREFIX="$qt" \
  -DVIDORRA_LINUX_CTL_SIM="$build/linux/vidorra-ctl-sim"
cmake --build "$build/windows" -j"$jobs"
cmake --build "$build/windows" --target windows_packages

trap - ERR
out=$build/windows/ctest-output.log
if ctest --test-dir "$build/windows" --output-on-failure -j"$jobs" | tee "$out"; then
  summary "ok ($(grep -m 1 'tests passed' "$out"))"
else
  names=$(sed -n '/^The following tests FAILED:/,$ s/^[[:space:]]*[0-9]* - \([^ ]*\) .*/\1/p' "$out" | paste -sd ' ')
  summary "FAILED ($(grep -m 1 'tests passed' "$out" || echo 'ctest stopped early')${names:+: $names})"
  exit 1
fi
