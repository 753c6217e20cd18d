#!/usr/bin/env bash
# Installs what is missing, builds Korvanta and starts it. Without a display it
# says so and writes screenshots of the windows to screenshots/ instead.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/tools/deps.sh"
"$here/tools/build.sh"
build=${KORVANTA_BUILD_DIR:-$here/build}
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$build/app/korvanta"
fi
echo "No display is available (DISPLAY and WAYLAND_DISPLAY are unset): writing screenshots instead."
exec "$here/tools/screenshots.sh"
