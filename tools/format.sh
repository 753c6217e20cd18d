#!/usr/bin/env bash
# Formats every C++ source under version control with the style in
# .clang-format (clang-format 14, Debian 12's).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/tools/format-files.sh"
"$here/tools/install-clang-format.sh"
cd "$here"
format_files "$here" | xargs -0 clang-format -i
