#!/usr/bin/env bash
# The Debian package, built from the build tree by cpack into a folder of its
# own and inspected without installing anything: its name, control fields and
# contents (exactly what cmake --install puts under /usr, binaries stripped and
# without RPATH), lintian where it is installed (no errors), and the programs
# unpacked with dpkg -x and run from there with system libraries only.
# Usage: check-package.sh BUILD_DIR VERSION
set -euo pipefail
build=$1 version=$2

work=$(mktemp -d)
xvfb_pid= sim_pid=
cleanup() {
  local pid
  for pid in $sim_pid $xvfb_pid; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

# --- Build it.
(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; exit 1; }
arch=$(dpkg --print-architecture)
deb=$work/out/vidorra_${version}_${arch}.deb
[ -f "$deb" ] || { ls "$work/out"; echo "FAIL: no $(basename "$deb")"; exit 1; }
pass "built $(basename "$deb")"

# --- Control fields.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = vidorra ] && pass "Package: vidorra" || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] && pass "Version: $version" || fail "Version: $(field Version)"
[ "$(field Architecture)" = "$arch" ] && pass "Architecture: $arch" || fail "Architecture: $(field Architecture)"
for f in Maintainer Section Priority Description; do
  [ -n "$(field "$f")" ] && pass "$f: $(field "$f" | head -n 1)" || fail "no $f"
done
depends=$(field Depends)
echo "Depends: $depends"
# From the binaries (dpkg-shlibdeps), and what the live preview loads at run time.
tr ',|' '\n\n' <<<"$depends" | sed 's/(.*//; s/ //g' >"$work/depends"
for p in libc6 libstdc++6 libqt5core5a libqt5gui5 libqt5widgets5 libqt5multimedia5 libqt5multimediawidgets5 \
         libudev1 libqt5multimedia5-plugins gstreamer1.0-plugins-base gstreamer1.0-plugins-good \
         gstreamer1.0-plugins-bad; do
  grep -qxF "$p" "$work/depends" || fail "Depends lacks $p"
done
# The changelog's latest entry is this version.
changelog_version=$(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/doc/vidorra/changelog.gz | gzip -dc |
  sed -n '1s/^vidorra (\([^)]*\)).*/\1/p')
[ "$changelog_version" = "$version" ] && pass "changelog at $version" || fail "changelog at '$changelog_version'"

# --- Contents: exactly what cmake --install puts under /usr.
dpkg-deb -c "$deb" >"$work/listing"
awk '$1 !~ /^d/ {print $6}' "$work/listing" | sed 's|^\./||' | sort >"$work/packaged"
DESTDIR=$work/stage cmake --install "$build" --prefix /usr >/dev/null
(cd "$work/stage" && find . ! -type d | sed 's|^\./||' | sort) >"$work/installed"
if diff -u "$work/installed" "$work/packaged"; then
  pass "contents are the $(wc -l <"$work/packaged") files cmake --install puts under /usr"
else
  fail "contents differ from cmake --install (- installed, + packaged)"
fi
for f in usr/bin/vidorra usr/bin/vidorra-ctl usr/bin/vidorra-sim usr/bin/vidorra-ctl-sim \
         usr/share/applications/org.vidorra.Vidorra.desktop \
         usr/share/icons/hicolor/scalable/apps/org.vidorra.Vidorra.svg \
         usr/share/metainfo/org.vidorra.Vidorra.metainfo.xml \
         usr/share/man/man1/vidorra-ctl.1.gz usr/share/man/man1/vidorra.1.gz \
         usr/share/doc/vidorra/copyright usr/share/doc/vidorra/changelog.gz; do
  grep -qx "$f" "$work/packaged" && pass "has /$f" || fail "lacks /$f"
done
# The remembered settings' user service.
unit=usr/lib/systemd/user/vidorra-ctl-watch.service
grep -qx "$unit" "$work/packaged" && pass "has /$unit" || fail "lacks /$unit"
exec_start=$(dpkg-deb --fsys-tarfile "$deb" | tar -xO "./$unit" | sed -n 's/^ExecStart=\([^ ]*\).*/\1/p')
[ "$exec_start" = /usr/bin/vidorra-ctl ] && pass "its ExecStart is /usr/bin/vidorra-ctl" ||
  fail "its ExecStart is '$exec_start'"
grep -E ' \./usr/local/| \./home/| \./tmp/' "$work/listing" && fail "files outside /usr"
if awk '$1 ~ /^-/ && $2 != "root/root"' "$work/listing" | grep -q .; then fail "files not owned by root"; fi

# --- Unpacked: stripped binaries without RPATH that need system libraries only.
dpkg -x "$deb" "$work/root"
for b in vidorra vidorra-ctl vidorra-sim vidorra-ctl-sim; do
  exe=$work/root/usr/bin/$b
  if readelf -S "$exe" | grep -qE '\.(symtab|debug_info)\b'; then fail "$b is not stripped"; fi
  if readelf -d "$exe" | grep -qE '\((RPATH|RUNPATH)\)'; then fail "$b has an RPATH"; fi
  if env -u LD_LIBRARY_PATH ldd "$exe" | grep -q 'not found'; then fail "$b needs libraries the system lacks"; fi
  if env -u LD_LIBRARY_PATH ldd "$exe" | grep -qF "$build"; then fail "$b loads from the build tree"; fi
done
pass "binaries stripped, without RPATH, on system libraries"

# --- The desktop entry: not even a hint (two main categories list it twice in menus).
entry=$(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/applications/org.vidorra.Vidorra.desktop)
if command -v desktop-file-validate >/dev/null; then
  printf '%s\n' "$entry" >"$work/org.vidorra.Vidorra.desktop"
  if desktop-file-validate "$work/org.vidorra.Vidorra.desktop" >"$work/desktop.log" 2>&1 && [ ! -s "$work/desktop.log" ]; then
    pass "desktop-file-validate: nothing to say"
  else
    cat "$work/desktop.log"
    fail "desktop-file-validate"
  fi
fi

# --- lintian, where installed: no errors.
if command -v lintian >/dev/null; then
  if lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1; then
    pass "lintian: no errors"
  else
    fail "lintian found errors"
  fi
  sed 's/^/  lintian: /' "$work/lintian.log"
else
  echo "(lintian is not installed: not run)"
fi

# --- The unpacked programs run.
unset LD_LIBRARY_PATH QT_PLUGIN_PATH
if out=$(timeout 60 "$work/root/usr/bin/vidorra-ctl-sim" list 2>&1) && grep -q "Vidorra Sim Camera" <<<"$out"; then
  pass "vidorra-ctl-sim list: $(head -n 1 <<<"$out")"
else
  fail "vidorra-ctl-sim list printed: $out"
fi

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 200); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || { fail "Xvfb did not start"; exit 1; }
export DISPLAY=:$(head -n 1 "$work/display") QT_QPA_PLATFORM=xcb
"$work/root/usr/bin/vidorra-sim" >"$work/sim.log" 2>&1 &
sim_pid=$!
shown=
for _ in $(seq 300); do
  if xwininfo -name "Vidorra v1.1" 2>/dev/null | grep -q "Map State: IsViewable"; then shown=1; break; fi
  kill -0 "$sim_pid" 2>/dev/null || break
  sleep 0.1
done
if [ -n "$shown" ]; then
  pass "vidorra-sim shows its window ($(xwininfo -name "Vidorra v1.1" | sed -n 's/^ *Width: //p')x$(
    xwininfo -name "Vidorra v1.1" | sed -n 's/^ *Height: //p'))"
else
  fail "vidorra-sim showed no window"
  cat "$work/sim.log"
fi

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
echo "package checks passed"
