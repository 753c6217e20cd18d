#!/usr/bin/env bash
# Installs what building, running and testing Korvanta needs on Debian 12.
# Run as root; packages already present are left alone, so a second run is quick.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev qt6-svg-dev libqcustomplot-dev
  qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
  libboost-math-dev libxlsxwriter-dev libzip-dev libexpat1-dev libreadstat-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  fonts-noto-cjk fonts-arphic-uming fonts-dejavu-core xvfb xauth poppler-utils
  python3 python3-openpyxl python3-xlrd python3-xlwt python3-xlsxwriter libfreexl-dev
  libreoffice-calc-nogui libreoffice-writer-nogui appstream desktop-file-utils file e2fsprogs pspp
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "Some packages are missing and this is not root: run as root or install them by hand." >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq -o DPkg::Lock::Timeout=600 --no-install-recommends "${missing[@]}"
fi
