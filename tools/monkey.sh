#!/usr/bin/env bash
# The long monkey run: 20,000 random user actions (or $1) on the real window,
# seeded ($2, default a fixed seed) and reproducible. CTest runs a short one.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${KORVANTA_BUILD_DIR:-$here/build}
[ -x "$build/tests/app/monkey_tests" ] || "$here/tools/build.sh"
KORVANTA_MONKEY_ACTIONS=${1:-20000} KORVANTA_MONKEY_SEED=${2:-20261208} QT_QPA_PLATFORM=offscreen \
  "$build/tests/app/monkey_tests"
