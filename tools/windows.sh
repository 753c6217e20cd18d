#!/usr/bin/env bash
# Builds Korvanta for 64-bit Windows on Debian 12, from Debian's own packages
# and source packages only: no MSVC, no prebuilt binary from anywhere.
#
# Stage 1, the toolchain: Debian's MinGW-w64 cross compiler (posix threads),
# wine, NSIS; then Qt 6 base, QCustomPlot, zlib, libzip, expat,
# libxlsxwriter and GoogleTest built from the source packages, and Boost.Math's
# headers copied from the host, all installed into one prefix in
# KORVANTA_WINDOWS_CACHE (default /var/cache/korvanta-windows, outside the
# checkout). Each piece is built once: a stamp file holds the source version
# and a hash of how it was built, and a later run with the same stamp reuses
# it. A piece whose build was interrupted resumes where it stopped.
# Stage 2, the proof: a small Qt Widgets program and a small GoogleTest
# program cross-built against the prefix and run under wine (Xvfb display,
# offscreen platform); each must print what it measured.
# Stage 3, Korvanta: the program and korvanta-driver cross-built into
# build-windows/ (stage/ holds them with everything they need to run, and the
# help pages), then run under wine: --version on redirected output, and the
# driver's scripts of the five tests, which must print what they print on
# Linux.
#
#   tools/windows.sh            all three stages
#   tools/windows.sh toolchain  stage 1 only
#   tools/windows.sh korvanta   stage 3 only, against a built toolchain
#   tools/windows.sh PIECE...   only those pieces of stage 1 (qt6-base, zlib, ...)
#
# Run as root (apt-get). Heavy steps run under nice -n 19 and ionice -c3 with
# KORVANTA_WINDOWS_JOBS jobs (default 2), so they take only idle CPU.
set -euo pipefail
shopt -s inherit_errexit
here=$(cd "$(dirname "$0")/.." && pwd)
cache=${KORVANTA_WINDOWS_CACHE:-/var/cache/korvanta-windows}
jobs=${KORVANTA_WINDOWS_JOBS:-2}
suite=bookworm
triple=x86_64-w64-mingw32
prefix=$cache/prefix
toolchain=$here/cmake/mingw-w64-x86_64.cmake
# The Qt version the host's moc, rcc and uic are: the Windows Qt must match.
qt_version=6.4.2

if [ "$(id -u)" -ne 0 ]; then
  echo "windows.sh needs root (apt-get install, a deb-src entry)." >&2
  exit 1
fi

say() { printf '\n=== %s\n' "$*"; }
die() {
  printf 'windows.sh: %s\n' "$*" >&2
  exit 1
}
low() { nice -n 19 ionice -c3 "$@"; }

timings=()
# step NAME COMMAND...: runs COMMAND and records how long it took.
step() {
  local name=$1 start=$SECONDS
  shift
  say "$name"
  "$@"
  timings+=("$(printf '%6d s  %s' $((SECONDS - start)) "$name")")
  echo "--- $name: $((SECONDS - start)) s"
}

# ---------------------------------------------------------------- stage 1

# Source package of each piece built from source, in build order.
declare -A source_of=(
  [zlib]=zlib [expat]=expat [libzip]=libzip [libxlsxwriter]=libxlsxwriter
  [googletest]=googletest [qt6-base]=qt6-base [qcustomplot]=qcustomplot
)
all_pieces=(zlib expat libzip libxlsxwriter googletest boost runtime qt6-base qcustomplot)

host_packages=(
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix wine wine64 nsis
  dpkg-dev ninja-build cmake xvfb xauth
  qt6-base-dev qt6-base-dev-tools libboost-math-dev
)

install_host_packages() {
  local missing=() p
  for p in "${host_packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q -o DPkg::Lock::Timeout=600 \
      --no-install-recommends "${missing[@]}"
  else
    echo "All present: ${host_packages[*]}"
  fi
  local host_qt
  host_qt=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools)
  [[ $host_qt == "$qt_version"[+~-]* ]] ||
    die "the host's Qt tools are $host_qt; the Windows Qt is built as $qt_version and must match them"
}

# The Debian mirror this machine's apt uses for the suite.
mirror() {
  local url
  url=$(apt-cache policy 2>/dev/null |
        awk -v s="$suite/main" '$3 == s && $2 ~ /^https?:/ { print $2; exit }')
  echo "${url:-http://deb.debian.org/debian}"
}

src_list=/etc/apt/sources.list.d/korvanta-windows-src.sources
add_source_entry() {
  local url entry
  url=$(mirror)
  entry="Types: deb-src
URIs: $url
Suites: $suite $suite-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg"
  if [ -f "$src_list" ] && [ "$(cat "$src_list")" = "$entry" ] &&
     apt-cache showsrc zlib >/dev/null 2>&1; then
    echo "deb-src entry for $url already there"
    return
  fi
  printf '%s\n' "$entry" >"$src_list"
  echo "deb-src $url $suite $suite-updates main -> $src_list"
  DEBIAN_FRONTEND=noninteractive apt-get update -q -o DPkg::Lock::Timeout=600
}

# Downloads every source package before anything is built, so that a missing
# one stops the run at once, by name, rather than after an hour of Qt.
sources=$cache/sources
declare -A version_of=()
fetch_sources() {
  mkdir -p "$sources"
  local pkg failed=() all
  mapfile -t all < <(printf '%s\n' "${source_of[@]}" | sort -u)
  # One apt-get for all (files already there are only checked); only when
  # that fails, one per package, to name the one that does not download.
  if ! (cd "$sources" && apt-get source -q --download-only "${all[@]}" >"$sources/fetch.log" 2>&1); then
    for pkg in "${all[@]}"; do
      if ! (cd "$sources" && apt-get source -q --download-only "$pkg" >"$sources/$pkg.fetch.log" 2>&1); then
        failed+=("$pkg")
        sed 's/^/    /' "$sources/$pkg.fetch.log" | tail -5 >&2
      fi
    done
  fi
  ((${#failed[@]} == 0)) ||
    die "these source packages do not download from $(mirror): ${failed[*]} (is the deb-src entry in $src_list reachable?)"
  for pkg in "${all[@]}"; do
    version_of[$pkg]=$(apt-cache showsrc --only-source "$pkg" |
                       awk '/^Version:/ { print $2 }' | sort -V | tail -1)
    [ -f "$(dsc_of "$pkg")" ] || die "no $(dsc_of "$pkg") after downloading $pkg"
    printf '  %-14s %s\n' "$pkg" "${version_of[$pkg]}"
  done
}

dsc_of() {
  local pkg=$1 v=${version_of[$1]}
  echo "$sources/${pkg}_${v#*:}.dsc"
}

# source_dir PKG: the unpacked source (Debian's patches applied), unpacked once.
source_dir() {
  local pkg=$1 dir
  dir=$cache/src/$pkg-${version_of[$pkg]#*:}
  if [ ! -d "$dir" ]; then
    mkdir -p "$cache/src"
    rm -rf "$dir.part"
    low dpkg-source -q --no-check -x "$(dsc_of "$pkg")" "$dir.part" >&2
    mv "$dir.part" "$dir"
    # dpkg-source copies the upstream tarball beside what it unpacks.
    rm -f "$cache/src/${pkg}_"*
  fi
  echo "$dir"
}

cmake_cross() {
  low cmake -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DKORVANTA_WINDOWS_PREFIX="$prefix" \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release "$@"
}

# cmake_piece NAME SOURCE_DIR CMAKE_ARGS...: configures (once), builds and
# installs a CMake project into the prefix, logging to logs/NAME.log.
cmake_piece() {
  local name=$1 src=$2 build=$cache/build/$1 log=$cache/logs/$1.log
  shift 2
  mkdir -p "$cache/logs"
  {
    { [ -f "$build/build.ninja" ] || cmake_cross -S "$src" -B "$build" "$@"; } &&
      low cmake --build "$build" -j "$jobs" &&
      low cmake --install "$build"
  } >>"$log" 2>&1 || {
    tail -30 "$log" >&2
    die "building $name failed; the whole log is $log"
  }
}

# The recipe of each piece: how it is built. Its text is part of the stamp,
# so a changed recipe builds the piece again.
# Debian's repacked zlib has no win32 folder, whose version resource zlib's
# CMake build compiles on MinGW: ours stands in for it.
recipe_zlib() {
  local src
  src=$(source_dir zlib)
  if [ ! -f "$src/win32/zlib1.rc" ]; then
    mkdir -p "$src/win32"
    cp "$here/tools/windows/zlib1.rc" "$src/win32/zlib1.rc"
  fi
  cmake_piece zlib "$src" -DINSTALL_PKGCONFIG_DIR="$prefix/lib/pkgconfig"
  # zlib's CMake build names the import library libzlib, but its zlib.pc and
  # libxlsxwriter's xlsxwriter.pc link with -lz.
  cp "$prefix/lib/libzlib.dll.a" "$prefix/lib/libz.dll.a"
}

# Debian's security fixes test "#if XML_DTD == 1", which its autotools build
# satisfies; expat's CMake build defines XML_DTD empty, so it is given a 1.
recipe_expat() {
  local src
  src=$(source_dir expat)
  [ -f "$src/CMakeLists.txt" ] || src=$src/expat
  sed -i 's/^#cmakedefine XML_DTD$/#cmakedefine XML_DTD 1/' "$src/expat_config.h.cmake"
  cmake_piece expat "$src" -DEXPAT_BUILD_TOOLS=OFF -DEXPAT_BUILD_EXAMPLES=OFF \
    -DEXPAT_BUILD_TESTS=OFF -DEXPAT_BUILD_DOCS=OFF -DEXPAT_SHARED_LIBS=ON
}

recipe_libzip() {
  cmake_piece libzip "$(source_dir libzip)" -DBUILD_SHARED_LIBS=ON \
    -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF -DENABLE_ZSTD=OFF -DENABLE_GNUTLS=OFF \
    -DENABLE_OPENSSL=OFF -DENABLE_MBEDTLS=OFF -DENABLE_COMMONCRYPTO=OFF \
    -DENABLE_WINDOWS_CRYPTO=ON -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF \
    -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF
}

recipe_libxlsxwriter() {
  cmake_piece libxlsxwriter "$(source_dir libxlsxwriter)" -DBUILD_SHARED_LIBS=ON \
    -DUSE_SYSTEM_MINIZIP=OFF -DBUILD_TESTS=OFF -DBUILD_EXAMPLES=OFF
}

recipe_googletest() {
  cmake_piece googletest "$(source_dir googletest)" -DBUILD_GMOCK=ON \
    -DINSTALL_GTEST=ON -Dgtest_disable_pthreads=OFF
}

# Boost.Math is header-only; Debian's headers are the same for every target.
recipe_boost() {
  local version
  version=$(dpkg-query -W -f='${Version}' libboost-math-dev)
  rm -rf "$prefix/include/boost"
  mkdir -p "$prefix/include"
  cp -a /usr/include/boost "$prefix/include/boost"
  echo "Boost headers of libboost-math-dev $version -> $prefix/include/boost"
}

# The MinGW runtime DLLs every program built here needs beside it.
recipe_runtime() {
  local dll path
  mkdir -p "$prefix/bin"
  for dll in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
    path=$("$triple-g++-posix" -print-file-name="$dll")
    [ -f "$path" ] || die "the cross compiler has no $dll"
    cp "$path" "$prefix/bin/"
    echo "$path"
  done
}

# Qt's host tools (moc, rcc, uic, ...) are the host's Qt of the same version.
# Debian's repacked source has no src/3rdparty/wintab, which tablet events
# on the windows platform need, so tablet events are off. Qt 6.4's configure
# leaves dynamic OpenGL on with OpenGL off (turning it off fails the
# configure), and the windows platform plugin then names OpenGL classes that
# are not built: those places ask for OpenGL too.
recipe_qt6-base() {
  local src
  src=$(source_dir qt6-base)
  sed -i 's/^#if QT_CONFIG(dynamicgl)$/#if QT_CONFIG(dynamicgl) \&\& QT_CONFIG(opengl)/' \
    "$src"/src/plugins/platforms/windows/*.cpp
  cmake_piece qt6-base "$src" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DBUILD_SHARED_LIBS=ON -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
    -DQT_BUILD_BENCHMARKS=OFF -DQT_BUILD_MANUAL_TESTS=OFF \
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF \
    -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF -DFEATURE_tabletevent=OFF \
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF \
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF \
    -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF \
    -DFEATURE_system_doubleconversion=OFF -DFEATURE_icu=OFF
}

# What a project built against the Windows Qt passes: Qt's host tools are the
# host's Qt of the same version.
qt_consumer_args=(
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
  -DCMAKE_PREFIX_PATH="$prefix"
)

# Debian's source carries a CMake build for Qt 6 (its package
# libqcustomplot-dev installs the same QCustomPlotQt6 CMake package on
# Linux). Its exported target does not define QCUSTOMPLOT_USE_LIBRARY; users
# on Windows define it, so that the classes are imported from the DLL.
recipe_qcustomplot() {
  cmake_piece qcustomplot "$(source_dir qcustomplot)" "${qt_consumer_args[@]}" \
    -DUSE_QT_VERSION=6 -DBUILD_SHARED_LIBS=ON
}

# The stamp's key: the source version and the hash of the recipe's text (and
# of the toolchain file and the extra build files it uses).
stamp_key() {
  local piece=$1 version extra=
  case $piece in
    qcustomplot) extra=$(declare -p qt_consumer_args) ;;
    zlib) extra=$(cat "$here/tools/windows/zlib1.rc") ;;
  esac
  case $piece in
    boost) version=$(dpkg-query -W -f='${Version}' libboost-math-dev) ;;
    runtime) version=$(dpkg-query -W -f='${Version}' g++-mingw-w64-x86-64-posix) ;;
    *) version=${version_of[${source_of[$piece]}]} ;;
  esac
  printf '%s %s\n' "$version" \
    "$( { declare -f "recipe_$piece" cmake_cross; cat "$toolchain"; echo "$extra"; } |
        sha1sum | cut -c1-12)"
}

build_piece() {
  local piece=$1 stamp=$cache/stamps/$1 key lock
  key=$(stamp_key "$piece")
  # One build of a piece at a time: a second run waits for the first (Qt
  # takes hours on two cores) and then finds its stamp.
  mkdir -p "$cache/locks"
  exec {lock}>"$cache/locks/$piece"
  if ! flock -n "$lock"; then
    echo "another run is building $piece; waiting for it"
    flock "$lock"
  fi
  if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$key" ]; then
    echo "reused: $piece $key"
    exec {lock}>&-
    return
  fi
  if [ -f "$stamp" ]; then
    echo "rebuilding $piece: was $(cat "$stamp"), now $key"
    rm -rf "$cache/build/$piece"
  fi
  rm -f "$stamp"
  "recipe_$piece"
  mkdir -p "$cache/stamps"
  echo "$key" >"$stamp"
  echo "built: $piece $key"
  exec {lock}>&-
}

stage_toolchain() {
  local pieces=("$@") piece
  ((${#pieces[@]})) || pieces=("${all_pieces[@]}")
  for piece in "${pieces[@]}"; do
    declare -F "recipe_$piece" >/dev/null || die "no piece named $piece (pieces: ${all_pieces[*]})"
  done
  mkdir -p "$cache"
  step "Host packages" install_host_packages
  step "deb-src entry" add_source_entry
  # Two runs at once (one building Qt, one the small pieces) share the
  # downloads; the lock keeps them from fetching the same file together.
  exec 9>"$cache/.fetch.lock"
  flock 9
  step "Source packages: every one downloads" fetch_sources
  flock -u 9
  for piece in "${pieces[@]}"; do
    step "Piece $piece" build_piece "$piece"
  done
}

# ---------------------------------------------------------------- stage 2

# wine's own chatter off, but a DLL it cannot find named: otherwise a
# program missing one ends with status 53 and says nothing.
wine_env() {
  env WINEPREFIX="$cache/wine" WINEDEBUG=-all,err+module WINEDLLOVERRIDES="mscoree,mshtml=" "$@"
}

prepare_wine() {
  if [ ! -f "$cache/wine/system.reg" ]; then
    wine_env xvfb-run -a wineboot --init
    wine_env wineserver -w
  fi
  echo "wine $(wine --version 2>/dev/null || true), prefix $cache/wine"
}

build_proof() {
  local build=$cache/proof-build log=$cache/logs/proof.log
  rm -rf "$build"
  {
    cmake_cross -S "$here/tools/windows/proof" -B "$build" "${qt_consumer_args[@]}" &&
      low cmake --build "$build" -j "$jobs"
  } >"$log" 2>&1 || {
    tail -30 "$log" >&2
    die "the proof programs did not build; the log is $log"
  }
  # A folder the programs run from, as a user's would be: the DLLs beside
  # them, the platform plugins below, and a qt.conf that says where those are
  # (without it Qt finds no platform plugin and waits on an error box).
  run_folder "$cache/proof" "$build"/*.exe
}

# run_folder DIR PROGRAM...: DIR made afresh with the programs, every DLL of
# the prefix beside them, the platform plugins below and the qt.conf.
run_folder() {
  local run=$1
  shift
  rm -rf "$run"
  mkdir -p "$run/plugins/platforms"
  cp "$@" "$run/"
  cp "$prefix"/bin/*.dll "$run/"
  cp "$prefix"/plugins/platforms/q{offscreen,minimal,windows}.dll "$run/plugins/platforms/"
  printf '[Paths]\nPrefix = .\nPlugins = plugins\n' >"$run/qt.conf"
}

# run_proof PROGRAM EXPECT: runs PROGRAM.exe under wine with its standard
# output redirected to a file, and checks that a line matches EXPECT.
run_proof() {
  local program=$1 expect=$2 out=$cache/proof/$1.out status=0
  (cd "$cache/proof" && wine_env QT_QPA_PLATFORM=offscreen timeout 120 \
    xvfb-run -a wine "$program.exe" >"$out" 2>"$out.err") || status=$?
  # wineserver stays a few seconds after the last program; wait for it, so
  # that nothing of wine outlives the run, and end what still hangs (an
  # error box nobody can click).
  wine_env timeout 30 wineserver -w || wine_env wineserver -k || true
  cat "$out"
  ((status == 0)) || { cat "$out.err" >&2; die "$program.exe under wine ended with status $status"; }
  grep -Eq "$expect" "$out" || die "$program.exe printed nothing matching $expect"
}

stage_proof() {
  step "wine prefix" prepare_wine
  step "Proof programs: cross-build" build_proof
  step "Proof: Qt Widgets under wine" run_proof widgets_probe '^width of .+: [1-9][0-9]* px'
  step "Proof: GoogleTest under wine" run_proof gtest_probe '^\[  PASSED  \] [1-9][0-9]* tests?\.'
}

# ---------------------------------------------------------------- stage 3

# Korvanta itself, cross-built into build-windows/ against the prefix: the
# program and korvanta-driver (no statistics-package files: ReadStat's source
# is not in the archive here).
windows_build=$here/build-windows
build_korvanta() {
  local log=$cache/logs/korvanta.log
  {
    cmake_cross -S "$here" -B "$windows_build" "${qt_consumer_args[@]}" \
      -DKORVANTA_READSTAT=OFF -DKORVANTA_BUILD_TESTS=OFF &&
      low cmake --build "$windows_build" -j "$jobs" --target korvanta korvanta-driver
  } >"$log" 2>&1 || {
    tail -30 "$log" >&2
    die "Korvanta did not cross-build; the log is $log"
  }
  # The folder both programs run from, with the help pages the program opens
  # from help/ beside itself.
  run_folder "$windows_build/stage" "$windows_build/app/korvanta.exe" "$windows_build/tools/driver/korvanta-driver.exe"
  cp -r "$here/resources/help" "$windows_build/stage/help"
}

# run_staged PROGRAM ARGS...: one program of the stage folder under wine, its
# standard output to stdout.
run_staged() {
  local status=0
  (cd "$windows_build/stage" && wine_env timeout 120 xvfb-run -a wine "$@" 2>/dev/null) | tr -d '\r' || status=$?
  wine_env timeout 30 wineserver -w || wine_env wineserver -k || true
  return $status
}

# The program answers --version on redirected output, and the driver's
# scripts of the five tests print under wine what they print on Linux (each
# script named by its path on wine's Z: drive).
check_korvanta() {
  local version script name
  version=$(run_staged korvanta.exe --version)
  echo "$version"
  [[ $version == Korvanta\ * ]] || die "korvanta.exe --version printed \"$version\""
  for name in two_sample_typing paired_t_typing correlation_typing fourfold_typing paired_chisquare_typing; do
    script=$here/tests/e2e/scripts/$name
    if ! diff -u "$script.expected" <(run_staged korvanta-driver.exe "Z:$script.script"); then
      die "$name under wine differs from its Linux output"
    fi
    echo "$name: as on Linux"
  done
}

stage_korvanta() {
  step "wine prefix" prepare_wine
  step "Korvanta: cross-build into build-windows/" build_korvanta
  step "Korvanta under wine: --version and the five tests' scripts" check_korvanta
}

# ---------------------------------------------------------------- main

total=$SECONDS
case ${1:-all} in
  all)
    stage_toolchain
    stage_proof
    step "Korvanta: cross-build into build-windows/" build_korvanta
    step "Korvanta under wine: --version and the five tests' scripts" check_korvanta
    ;;
  toolchain) stage_toolchain ;;
  proof)
    # The proof alone, against a toolchain already built.
    for piece in "${all_pieces[@]}"; do
      [ -f "$cache/stamps/$piece" ] || die "piece $piece is not built yet: run tools/windows.sh toolchain"
    done
    stage_proof
    ;;
  korvanta)
    # Korvanta alone, against a toolchain already built.
    for piece in "${all_pieces[@]}"; do
      [ -f "$cache/stamps/$piece" ] || die "piece $piece is not built yet: run tools/windows.sh toolchain"
    done
    stage_korvanta
    ;;
  *) stage_toolchain "$@" ;;
esac

say "Times"
printf '%s\n' "${timings[@]}"
printf '%6d s  total\n' $((SECONDS - total))
