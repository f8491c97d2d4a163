#!/usr/bin/env bash
# Cross-builds Qt 5.15 for 64-bit Windows (qtbase and qtmultimedia) with
# Debian's MinGW-w64 (POSIX threads) from Debian 12's own source packages, once
# per machine, and prints the install prefix on its last line.
#
# The prefix lives in a cache folder named by the two source versions and a
# hash of the configure options, so a changed option or a new source version
# builds anew. The folder counts as built only once ".complete" is written
# into it, after both modules are installed: an interrupted build never looks
# complete and is started over by the next run.
#
#   VIDORRA_QT_CACHE   cache folder (default ~/.cache/vidorra)
#   VIDORRA_JOBS       parallel jobs (default: the number of processors)
set -euo pipefail

cache=${VIDORRA_QT_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/vidorra}
jobs=${VIDORRA_JOBS:-$(nproc)}
mirror=${VIDORRA_DEBIAN_MIRROR:-http://deb.debian.org/debian}
suite=bookworm

say() { echo "build-qt: $*" >&2; }
fail() {
  say "$*"
  exit 1
}

# Debian's tarball drops the tablet support's wintab.h, hence no tabletevent.
configure_options=(
  -xplatform win32-g++ -device-option CROSS_COMPILE=x86_64-w64-mingw32-
  -opensource -confirm-license -release -shared
  -nomake examples -nomake tests -no-opengl -no-dbus -no-icu
  -qt-zlib -qt-libpng -qt-libjpeg -qt-freetype -qt-harfbuzz -qt-pcre
  -no-feature-sql -no-feature-tabletevent -no-feature-direct2d -no-feature-printer
)
# No EVR video window in the DirectShow plugin: it would tie the camera
# service to Media Foundation (mf.dll, mfplat.dll, evr.dll), which Windows N
# editions lack; the camera preview draws through a video surface anyway.
qtmultimedia_options=(-no-feature-evr)

# A deb-src entry of our own: apt reads it through private option values and
# the machine's sources, lists and caches stay as they are.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/lists/partial" "$work/cache/archives/partial" "$work/parts"
cat >"$work/sources.list" <<EOF
deb-src $mirror $suite main
deb-src $mirror $suite-updates main
deb-src ${VIDORRA_DEBIAN_SECURITY:-http://deb.debian.org/debian-security} $suite-security main
EOF
apt_private=(
  -o "Dir::Etc::SourceList=$work/sources.list" -o "Dir::Etc::SourceParts=$work/parts"
  -o "Dir::State::Lists=$work/lists" -o "Dir::Cache=$work/cache"
  -o "Dir::State::status=/var/lib/dpkg/status" -o "APT::Sandbox::User=root"
)
# Security or update suites may lack a module; apt then takes the main suite.
apt-get "${apt_private[@]}" -q update >"$work/update.log" 2>&1 ||
  { cat "$work/update.log" >&2; fail "apt-get update of the private deb-src entry failed"; }

source_version() {
  apt-cache "${apt_private[@]}" showsrc "$1" 2>/dev/null |
    sed -n 's/^Version: //p' | sort -V | tail -n 1
}
qtbase_version=$(source_version qtbase-opensource-src)
qtmm_version=$(source_version qtmultimedia-opensource-src)
[ -n "$qtbase_version" ] && [ -n "$qtmm_version" ] || fail "the archive names no Qt 5 source packages"

options_hash=$(printf '%s\n' "${configure_options[@]}" -- "${qtmultimedia_options[@]}" | sha256sum | cut -c1-12)
name="qt-win64-qtbase_${qtbase_version}-qtmultimedia_${qtmm_version}-${options_hash}"
name=${name//[:+~]/_}
prefix=$cache/$name
if [ -f "$prefix/.complete" ]; then
  say "reusing $prefix"
  echo "$prefix"
  exit 0
fi

need=(x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-gcc-posix dpkg-source make perl g++)
for tool in "${need[@]}"; do
  command -v "$tool" >/dev/null 2>&1 || fail "$tool is missing (run scripts/build-windows.sh, which installs it)"
done

# Qt's qmake keeps the prefix it was configured with: build in place.
partial=$prefix
rm -rf "$partial"
mkdir -p "$partial"
say "building Qt for Windows into $prefix"
say "  qtbase $qtbase_version, qtmultimedia $qtmm_version"
say "  options ${configure_options[*]} -- ${qtmultimedia_options[*]}"

# Qt's win32-g++ spec calls ${CROSS_COMPILE}g++: point that at the POSIX-thread
# compilers the project itself uses, whatever the system alternative says.
mkdir -p "$work/bin"
for t in gcc g++; do ln -s "$(command -v x86_64-w64-mingw32-$t-posix)" "$work/bin/x86_64-w64-mingw32-$t"; done
export PATH=$work/bin:$PATH

fetch() {
  local package=$1 version=$2
  (cd "$work/src" && apt-get "${apt_private[@]}" -q source "$package=$version") >"$work/fetch-$package.log" 2>&1 ||
    { cat "$work/fetch-$package.log" >&2; fail "apt-get source $package=$version failed"; }
}
mkdir -p "$work/src"
fetch qtbase-opensource-src "$qtbase_version"
fetch qtmultimedia-opensource-src "$qtmm_version"
qtbase_src=$(find "$work/src" -maxdepth 1 -type d -name 'qtbase-opensource-src-*' | head -n 1)
qtmm_src=$(find "$work/src" -maxdepth 1 -type d -name 'qtmultimedia-opensource-src-*' | head -n 1)
[ -d "$qtbase_src" ] && [ -d "$qtmm_src" ] || fail "the unpacked sources are missing"

log=$cache/$name.log
: >"$log"
start=$(date +%s)
say "configuring qtbase (log: $log)"
mkdir -p "$work/qtbase-build"
(cd "$work/qtbase-build" && "$qtbase_src/configure" -prefix "$partial" "${configure_options[@]}") >>"$log" 2>&1 ||
  { tail -n 40 "$log" >&2; fail "configuring qtbase failed"; }
say "building qtbase with $jobs jobs"
(cd "$work/qtbase-build" && make -j"$jobs" && make install) >>"$log" 2>&1 ||
  { tail -n 40 "$log" >&2; fail "building qtbase failed"; }
say "qtbase took $(($(date +%s) - start)) s; building qtmultimedia"
mkdir -p "$work/qtmm-build"
(cd "$work/qtmm-build" && "$partial/bin/qmake" "$qtmm_src" -- "${qtmultimedia_options[@]}" && make -j"$jobs" && make install) >>"$log" 2>&1 ||
  { tail -n 40 "$log" >&2; fail "building qtmultimedia failed"; }

# What a folder that carries these DLLs must also carry: their licences.
mkdir -p "$partial/licenses"
cp "$qtbase_src"/LICENSE.LGPL3 "$qtbase_src"/LICENSE.GPL2 "$qtbase_src"/LICENSE.GPL3 "$partial/licenses/"
cp "$qtbase_src/debian/copyright" "$partial/licenses/qtbase-copyright"
cp "$qtmm_src/debian/copyright" "$partial/licenses/qtmultimedia-copyright"
printf 'qtbase %s\nqtmultimedia %s\noptions %s -- %s\nseconds %s\n' "$qtbase_version" "$qtmm_version" \
  "${configure_options[*]}" "${qtmultimedia_options[*]}" "$(($(date +%s) - start))" >"$partial/.complete"
say "Qt for Windows built in $(($(date +%s) - start)) s"
echo "$prefix"
