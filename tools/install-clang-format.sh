#!/usr/bin/env bash
# clang-format is needed only to format and to check the format, so
# tools/deps.sh leaves it out; this installs Debian's when it is missing.
set -euo pipefail
command -v clang-format >/dev/null 2>&1 && exit 0
echo "Installing: clang-format"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends clang-format
