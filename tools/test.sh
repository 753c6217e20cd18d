#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test. Needs no display.
# A compiler warning fails the build: the code is kept free of them with
# Debian 12's GCC. With another compiler, KORVANTA_WERROR=OFF builds anyway.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/tools/deps.sh"
KORVANTA_WERROR=${KORVANTA_WERROR:-ON} "$here/tools/build.sh"
export QT_QPA_PLATFORM=offscreen
cd "${KORVANTA_BUILD_DIR:-$here/build}"
ctest --output-on-failure -j "$(nproc)"
