#!/usr/bin/env bash
# Writes PNG screenshots of the main window in each of the five tests and of
# the t-table window, from the real program under Xvfb; then, in scaled/, the
# main window, the details window and the t table on a 1366x768 laptop
# screen at 125%, 150% and 200% (QT_SCALE_FACTOR), as such a screen shows them.
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

# The scaled windows hold a two-sample comparison, so that the details
# table has its rows and the plot its points.
mkdir -p "$out/scaled"
for percent in 125 150 200; do
  {
    echo "click Command1(0)"
    row=0
    for pair in "12.1 13.4" "11.8 14.0" "12.6 13.1" "13.0 14.2" "12.2 13.8" "11.5 13.5"; do
      echo "type Text1($row) ${pair% *}"
      echo "type Text2($row) ${pair#* }"
      row=$((row + 1))
    done
    echo "grab Form1 $out/scaled/main-$percent.png"
    echo "menu 详细结果…"
    echo "grab FormDetails $out/scaled/details-$percent.png"
    echo "menu t界值表"
    echo "grab Form2 $out/scaled/ttable-$percent.png"
  } >"$script"
  factor=$(awk -v p="$percent" 'BEGIN { print p / 100 }')
  QT_SCALE_FACTOR=$factor KORVANTA_DRIVER_PLATFORM=xcb xvfb-run -a -s "-screen 0 1366x768x24" \
    "$build/tools/driver/korvanta-driver" "$script"
done
echo "Screenshots written to $out"
