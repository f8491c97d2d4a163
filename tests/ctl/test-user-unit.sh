#!/usr/bin/env bash
# The systemd user unit as cmake --install leaves it: in the user unit folder
# under the prefix, running the vidorra-ctl installed beside it, and accepted
# by systemd-analyze verify (which also runs its man page link). Installs
# systemd and man-db when they are missing and it runs as root; fails, never
# skips, when they cannot be had.
#
#   test-user-unit.sh BUILD_DIR WORK_DIR
set -euo pipefail

BUILD=$1
WORK=$2
fail() {
    echo "test-user-unit: FAIL: $*" >&2
    exit 1
}

if ! command -v systemd-analyze >/dev/null || ! command -v man >/dev/null; then
    [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null ||
        fail "systemd-analyze and man are needed: apt-get install systemd man-db"
    echo "test-user-unit: installing systemd and man-db"
    bash "$(dirname "$0")/../apt-install.sh" --no-install-recommends systemd man-db >/dev/null ||
        fail "cannot install systemd and man-db"
fi

rm -rf "$WORK"
mkdir -p "$WORK/runtime" "$WORK/broken"
PREFIX=$WORK/prefix
cmake --install "$BUILD" --prefix "$PREFIX" >"$WORK/install.log" 2>&1 ||
    { cat "$WORK/install.log" >&2; fail "cmake --install failed (is everything built?)"; }

UNIT=$PREFIX/lib/systemd/user/vidorra-ctl-watch.service
[ -f "$UNIT" ] || fail "no $UNIT"
[ -x "$PREFIX/bin/vidorra-ctl" ] || fail "no $PREFIX/bin/vidorra-ctl"
grep -qxF "ExecStart=$PREFIX/bin/vidorra-ctl watch" "$UNIT" ||
    fail "ExecStart does not run $PREFIX/bin/vidorra-ctl watch: $(grep '^ExecStart' "$UNIT")"
grep -qxF "WantedBy=default.target" "$UNIT" || fail "the unit is not wanted by default.target"

# A user manager of its own for the check: no logged-in session is needed.
verify() {
    (cd "$WORK" && XDG_RUNTIME_DIR=$WORK/runtime MANPATH=$PREFIX/share/man systemd-analyze --user verify "$1" 2>&1)
}
if ! out=$(verify "$UNIT") || [ -n "$out" ]; then
    printf '%s\n' "$out" >&2
    fail "systemd-analyze verify did not accept $UNIT"
fi

# The check can fail: a unit whose program is missing is refused.
sed "s|^ExecStart=.*|ExecStart=$PREFIX/bin/no-such-program watch|" "$UNIT" >"$WORK/broken/vidorra-ctl-watch.service"
if verify "$WORK/broken/vidorra-ctl-watch.service" >/dev/null; then
    fail "systemd-analyze verify accepted a unit whose program is missing"
fi
echo "test-user-unit: $UNIT is installed and accepted by systemd-analyze verify"
