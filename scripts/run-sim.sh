#!/usr/bin/env bash
# Installs the dependencies, builds Vidorra and runs vidorra-sim, the whole
# program on a simulated camera.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/install-deps.sh"
cmake -S "$here" -B "$here/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$here/build" -j"$(nproc)" --target vidorra-sim
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: running vidorra-sim on a virtual X server (xvfb-run)." >&2
  exec xvfb-run -a "$here/build/vidorra-sim" "$@"
fi
exec "$here/build/vidorra-sim" "$@"
