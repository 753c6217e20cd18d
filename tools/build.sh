#!/usr/bin/env bash
# Configures and builds Korvanta into build/ (or the folder in KORVANTA_BUILD_DIR).
# KORVANTA_BUILD_TARGETS (space-separated) builds only those targets; by
# default everything is built, tests and all. KORVANTA_WERROR=ON or OFF turns
# warnings as errors on or off; unset, the build folder keeps what it had
# (off in a new one). Extra arguments go to CMake's configure step.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${KORVANTA_BUILD_DIR:-$here/build}
type=${KORVANTA_BUILD_TYPE:-RelWithDebInfo}
launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
werror=()
if [ -n "${KORVANTA_WERROR:-}" ]; then
  werror=(-DKORVANTA_WERROR="$KORVANTA_WERROR")
fi
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="$type" "${launcher[@]}" "${werror[@]}" "$@"
targets=()
for t in ${KORVANTA_BUILD_TARGETS:-}; do targets+=(--target "$t"); done
cmake --build "$build" -j "$(nproc)" "${targets[@]}"
