#!/usr/bin/env bash
# Configures and builds Korvanta into build/ (or the folder in KORVANTA_BUILD_DIR).
# KORVANTA_BUILD_TARGETS (space-separated) builds only those targets; by
# default everything is built, tests and all.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${KORVANTA_BUILD_DIR:-$here/build}
type=${KORVANTA_BUILD_TYPE:-RelWithDebInfo}
launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="$type" "${launcher[@]}" "$@"
targets=()
for t in ${KORVANTA_BUILD_TARGETS:-}; do targets+=(--target "$t"); done
cmake --build "$build" -j "$(nproc)" "${targets[@]}"
