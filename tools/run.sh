#!/usr/bin/env bash
# Installs what is missing, builds Korvanta and starts it. Without a display it
# says so and writes screenshots of the windows to screenshots/ instead.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/tools/deps.sh"
build=${KORVANTA_BUILD_DIR:-$here/build}
# Only what running needs: the program and its help page, and the driver that
# draws the screenshots when there is no display. The tests and benchmarks are
# left to tools/test.sh.
KORVANTA_BUILD_TARGETS="korvanta korvanta-driver" "$here/tools/build.sh"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$build/app/korvanta"
fi
echo "No display is available (DISPLAY and WAYLAND_DISPLAY are unset): writing screenshots instead."
exec "$here/tools/screenshots.sh"
