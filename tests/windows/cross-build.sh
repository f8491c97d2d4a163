#!/usr/bin/env bash
# Builds the Windows-only sources with the MinGW-w64 cross compiler against
# the real Windows headers (-Wall -Wextra -Werror) and runs the results under
# Wine. Installs what it needs with apt-get when it runs as root; fails, never
# skips, when something is missing.
#
#   cross-build.sh build SOURCE_DIR OUT_DIR   configure for Windows, compile, link both programs
#   cross-build.sh probe OUT_DIR              dshow-probe.exe under Wine: no video input device
#   cross-build.sh port-test OUT_DIR          the port over fake COM objects under Wine
#   cross-build.sh all SOURCE_DIR OUT_DIR     the three in a row
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
CXX=x86_64-w64-mingw32-g++-posix
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
PACKAGES=(g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev wine64 cmake ninja-build)

fail() {
  echo "cross-build: $*" >&2
  exit 1
}

have_tools() {
  command -v "$CXX" >/dev/null 2>&1 && command -v cmake >/dev/null 2>&1 &&
    command -v ninja >/dev/null 2>&1 &&
    [ -f /usr/share/mingw-w64/include/dshow.h ] &&
    [ -x "$WINE" ] && [ -x "$WINESERVER" ]
}

ensure_tools() {
  have_tools && return 0
  [ "$(id -u)" = 0 ] || fail "missing ${PACKAGES[*]} and not root to install them"
  command -v apt-get >/dev/null 2>&1 || fail "missing ${PACKAGES[*]} and no apt-get"
  echo "cross-build: installing ${PACKAGES[*]}"
  bash "$here/../apt-install.sh" --no-install-recommends "${PACKAGES[@]}" || fail "apt-get install failed"
  have_tools || fail "the packages are installed but the tools are still missing"
}

# Configures the whole project for Windows with the MinGW-w64 toolchain and a
# stand-in for Qt (there is no Qt for Windows here), then builds the Qt-free
# targets through the project's own CMake files: the Windows backend (the
# DirectShow port and its platform), the port test (with the header checks and
# the message-record reader) and the probe.
build() {
  local src=$1 out=$2
  [ -f "$src/backends/windows/DirectShowPort.cpp" ] || fail "no sources at $src"
  ensure_tools
  rm -rf "$out"
  mkdir -p "$out/qt5"
  cat >"$out/qt5/Qt5Config.cmake" <<'QT'
# Stand-in for Qt 5 for Windows: imported targets without content, enough to
# configure the project; nothing that needs Qt is built.
foreach(component Core Gui Widgets Multimedia MultimediaWidgets Test WinMain)
  if(NOT TARGET Qt5::${component})
    add_library(Qt5::${component} INTERFACE IMPORTED)
  endif()
  set(Qt5${component}_FOUND TRUE)
  set(Qt5_${component}_FOUND TRUE)
endforeach()
set(Qt5_FOUND TRUE)
QT
  printf 'set(PACKAGE_VERSION 5.15.2)\nset(PACKAGE_VERSION_COMPATIBLE TRUE)\n' >"$out/qt5/Qt5ConfigVersion.cmake"
  echo "cross-build: configuring the Windows build"
  cmake -S "$src" -B "$out/build" -G Ninja -Wno-dev \
    -DCMAKE_TOOLCHAIN_FILE="$src/packaging/windows/mingw-w64.cmake" \
    -DQt5_DIR="$out/qt5" -DCMAKE_BUILD_TYPE=Release -DVIDORRA_BUILD_BENCH=OFF -DVIDORRA_WINDOWS_DEPLOY=OFF \
    -DCMAKE_CXX_FLAGS=-Werror -DCMAKE_EXE_LINKER_FLAGS=-static >"$out/configure.log" 2>&1 ||
    { cat "$out/configure.log"; fail "configuring the Windows build failed"; }
  echo "cross-build: compiling with -Wall -Wextra -Werror"
  cmake --build "$out/build" -j2 --target vidorra_windows_backend dshow-port-test dshow-probe ||
    fail "the Windows build failed"
  cp "$out/build/tests/windows/dshow-probe.exe" "$out/build/tests/windows/dshow-port-test.exe" "$out/"
  echo "cross-build: linked dshow-probe.exe and dshow-port-test.exe"
}

# Runs one program under Wine with a prefix of its own under OUT_DIR (made on
# first use) and prints its output; stops the prefix's server afterwards.
run_wine() {
  local out=$1 exe=$2 log=$3
  [ -x "$WINE" ] || fail "$WINE is missing (package wine64); run the build step first"
  [ -f "$out/$exe" ] || fail "$out/$exe is missing; run the build step first"
  export WINEPREFIX="$out/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
  local rc=0
  "$WINE" "$out/$exe" >"$log" 2>"$log.stderr" </dev/null || rc=$?
  "$WINESERVER" -k >/dev/null 2>&1 || true
  tr -d '\r' <"$log" >"$log.txt"
  cat "$log.txt"
  return $rc
}

probe() {
  local out=$1 rc=0
  run_wine "$out" dshow-probe.exe "$out/probe.log" || rc=$?
  # Wine's DirectShow has the system device enumerator and no camera.
  grep -qx 'list: 1 (0x00000001)' "$out/probe.log.txt" || fail "the probe did not report list status 1"
  grep -qx 'devices: 0' "$out/probe.log.txt" || fail "the probe did not report an empty device list"
  grep -qx 'open: no video input device' "$out/probe.log.txt" || fail "the probe did not take the no-device path"
  [ "$rc" = 0 ] || fail "the probe exited with $rc"
  echo "cross-build: probe under Wine: list status 1, no video input device"
}

port_test() {
  local out=$1 rc=0
  run_wine "$out" dshow-port-test.exe "$out/port-test.log" || rc=$?
  grep -Eqx '[0-9]+ passed, 0 failed' "$out/port-test.log.txt" || fail "the port test did not pass"
  [ "$rc" = 0 ] || fail "the port test exited with $rc"
}

case "${1:-}" in
  build) [ $# = 3 ] || fail "usage: $0 build SOURCE_DIR OUT_DIR"; build "$2" "$3" ;;
  probe) [ $# = 2 ] || fail "usage: $0 probe OUT_DIR"; probe "$2" ;;
  port-test) [ $# = 2 ] || fail "usage: $0 port-test OUT_DIR"; port_test "$2" ;;
  all) [ $# = 3 ] || fail "usage: $0 all SOURCE_DIR OUT_DIR"; build "$2" "$3"; probe "$3"; port_test "$3" ;;
  *) fail "usage: $0 build|probe|port-test|all ..." ;;
esac
