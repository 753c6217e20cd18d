#!/usr/bin/env bash
# Fails, naming the files, when any C++ source under version control differs
# from what tools/format.sh would make of it. CI runs it.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/tools/format-files.sh"
"$here/tools/install-clang-format.sh"
cd "$here"
format_files "$here" | xargs -0 clang-format --dry-run --Werror
echo "Every source is formatted."
