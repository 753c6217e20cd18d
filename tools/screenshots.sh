#!/usr/bin/env bash
# Writes PNG screenshots of the main window in each of the five tests and of
# the t-table window, from the real program under Xvfb.
# Usage: tools/screenshots.sh [OUTPUT_FOLDER]   (default: screenshots/)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${KORVANTA_BUILD_DIR:-$here/build}
out=$(mkdir -p "${1:-$here/screenshots}" && cd "${1:-$here/screenshots}" && pwd)
[ -x "$build/tools/driver/korvanta-driver" ] || "$here/tools/build.sh"

script=$(mktemp)
trap 'rm -f "$script"' EXIT
{
  for mode in 0 1 2 3 4; do
    echo "click Command1($mode)"
    echo "grab Form1 $out/mode$mode.png"
  done
  echo "menu t界值表"
  echo "grab Form2 $out/ttable.png"
} >"$script"

# The driver draws the real widgets; under Xvfb they go through the X11
# platform, as on a desktop.
KORVANTA_DRIVER_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x768x24" \
  "$build/tools/driver/korvanta-driver" "$script"
echo "Screenshots written to $out"
