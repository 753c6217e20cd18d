#!/usr/bin/env bash
# Fails, naming each function, when a function or method breaks the naming
# rule in .clang-tidy (PascalCase; overrides keep their base class's names).
# Reads the compile commands of a configured build (build/ unless
# KORVANTA_BUILD_DIR says otherwise), so run it after tools/test.sh. CI runs it.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${KORVANTA_BUILD_DIR:-$here/build}
if ! command -v run-clang-tidy >/dev/null 2>&1; then
  echo "Installing: clang-tidy"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends clang-tidy
fi
if [ ! -f "$build/compile_commands.json" ]; then
  echo "No compile commands in $build: build first (bash tools/test.sh)." >&2
  exit 1
fi
report=$(mktemp)
trap 'rm -f "$report"' EXIT
# Our sources only: the build tree's generated files are not ours to name,
# and the layer probes are meant not to compile.
run-clang-tidy -p "$build" -quiet -j "$(nproc)" \
  "^$here/(app|stats|grid|excel|delimited|widgetkit|calculator|banner|results|tools|tests/(?!layers/))" >"$report" 2>/dev/null || {
  cat "$report"
  echo "clang-tidy could not check every source." >&2
  exit 1
}
if grep -q "warning:" "$report"; then
  grep -A2 "warning:" "$report" | sed 's/\x1b\[[0-9;]*m//g'
  echo "Some names break the naming rule in .clang-tidy." >&2
  exit 1
fi
echo "Every function is named by the rule."
