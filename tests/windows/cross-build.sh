#!/usr/bin/env bash
# Builds the Windows-only sources with the MinGW-w64 cross compiler against
# the real Windows headers (-Wall -Wextra -Werror) and runs the results under
# Wine. Installs what it needs with apt-get when it runs as root; fails, never
# skips, when something is missing.
#
#   cross-build.sh build SOURCE_DIR OUT_DIR   compile, check headers, link both programs
#   cross-build.sh probe OUT_DIR              dshow-probe.exe under Wine: no video input device
#   cross-build.sh port-test OUT_DIR          the port over fake COM objects under Wine
#   cross-build.sh all SOURCE_DIR OUT_DIR     the three in a row
set -euo pipefail

CXX=x86_64-w64-mingw32-g++-posix
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
PACKAGES=(g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev wine64)

fail() {
  echo "cross-build: $*" >&2
  exit 1
}

have_tools() {
  command -v "$CXX" >/dev/null 2>&1 &&
    [ -f /usr/share/mingw-w64/include/dshow.h ] &&
    [ -x "$WINE" ] && [ -x "$WINESERVER" ]
}

ensure_tools() {
  have_tools && return 0
  [ "$(id -u)" = 0 ] || fail "missing ${PACKAGES[*]} and not root to install them"
  command -v apt-get >/dev/null 2>&1 || fail "missing ${PACKAGES[*]} and no apt-get"
  echo "cross-build: installing ${PACKAGES[*]}"
  export DEBIAN_FRONTEND=noninteractive
  if ! apt-get install -y -q --no-install-recommends "${PACKAGES[@]}"; then
    apt-get update -q || fail "apt-get update failed"
    apt-get install -y -q --no-install-recommends "${PACKAGES[@]}" || fail "apt-get install failed"
  fi
  have_tools || fail "the packages are installed but the tools are still missing"
}

build() {
  local src=$1 out=$2
  [ -f "$src/device/windows/DirectShowPort.cpp" ] || fail "no sources at $src"
  ensure_tools
  mkdir -p "$out/obj"
  rm -rf "$out/wineprefix" "$out"/*.exe
  local flags=(-std=c++17 -Wall -Wextra -Werror -O1 -DUNICODE -D_UNICODE -DNOMINMAX -I"$src" -I"$src/tests/windows")
  local objects=() source
  # Every Windows-only source but the Qt glue, which only a Windows Qt build compiles.
  for source in "$src"/device/windows/*.cpp; do
    [ "$(basename "$source")" = WindowsPlatform.cpp ] && continue
    local object="$out/obj/$(basename "$source" .cpp).o"
    echo "cross-build: compiling ${source#"$src"/}"
    "$CXX" "${flags[@]}" -c "$source" -o "$object"
    objects+=("$object")
  done
  for source in windows-header-checks dshow-probe FakeCom dshow-port-test; do
    echo "cross-build: compiling tests/windows/$source.cpp"
    "$CXX" "${flags[@]}" -municode -c "$src/tests/windows/$source.cpp" -o "$out/obj/$source.o"
  done
  local libs=(-static -lole32 -loleaut32 -lstrmiids -luuid)
  "$CXX" -municode "$out/obj/dshow-probe.o" "${objects[@]}" "${libs[@]}" -o "$out/dshow-probe.exe"
  "$CXX" "$out/obj/dshow-port-test.o" "$out/obj/FakeCom.o" "${objects[@]}" "${libs[@]}" -o "$out/dshow-port-test.exe"
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
