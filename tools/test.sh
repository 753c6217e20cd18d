#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test. Needs no display.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/tools/deps.sh"
"$here/tools/build.sh"
export QT_QPA_PLATFORM=offscreen
cd "${KORVANTA_BUILD_DIR:-$here/build}"
ctest --output-on-failure -j "$(nproc)"
