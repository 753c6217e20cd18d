#!/usr/bin/env bash
# Builds Korvanta for release and makes the Debian package
# build-package/korvanta_VERSION_ARCH.deb (KORVANTA_PACKAGE_DIR to put the
# build elsewhere). Only the program and what it installs are built, not the
# tests; the desktop entry and the AppStream metainfo are validated first.
# Run as root the first time, so that tools/deps.sh can install what is missing.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${KORVANTA_PACKAGE_DIR:-$here/build-package}
"$here/tools/deps.sh"

# cpack installs without building everything first; the targets that install
# files are built here.
KORVANTA_BUILD_DIR=$build KORVANTA_BUILD_TYPE=Release \
  KORVANTA_BUILD_TARGETS="korvanta korvanta_icon_png" \
  "$here/tools/build.sh" -DKORVANTA_BUILD_TESTS=OFF -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON

desktop-file-validate "$here/resources/korvanta.desktop"
appstreamcli validate --no-net "$build/org.korvanta.Korvanta.metainfo.xml"

rm -f "$build"/korvanta_*.deb
(cd "$build" && cpack -G DEB)
deb=$(ls "$build"/korvanta_*.deb)
dpkg-deb --info "$deb"
dpkg-deb --contents "$deb"
echo "Package: $deb"
