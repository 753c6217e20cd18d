#!/usr/bin/env bash
# Builds the benchmarks in Release into build-release/ and runs each of
# them, printing its figures: keystrokes, workbook reads and writes, import
# and export through the window, start-up and peak memory. Extra arguments
# go to every benchmark program (e.g. --benchmark_filter=Xlsx).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/tools/deps.sh"
build=${KORVANTA_BENCH_BUILD_DIR:-$here/build-release}
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DKORVANTA_BUILD_BENCH=ON -DKORVANTA_BUILD_TESTS=OFF
cmake --build "$build" -j 2
export QT_QPA_PLATFORM=offscreen
for bench in "$build"/bench/*_bench; do
  echo "== $(basename "$bench")"
  "$bench" "$@"
done
