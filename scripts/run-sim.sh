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
  # At 96 dpi, the density the form was laid out for (Xvfb's own default is 100).
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" "$here/build/vidorra-sim" "$@"
fi
exec "$here/build/vidorra-sim" "$@"
