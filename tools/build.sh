#!/usr/bin/env bash
# Configures and builds Korvanta into build/ (or the folder in KORVANTA_BUILD_DIR).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${KORVANTA_BUILD_DIR:-$here/build}
type=${KORVANTA_BUILD_TYPE:-RelWithDebInfo}
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="$type" "$@" >/dev/null
cmake --build "$build" -j "$(nproc)"
