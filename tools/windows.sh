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
# Stage 3, Korvanta: the program, korvanta-driver and the libraries' test
# programs cross-built into build-windows/ (stage/ holds the two programs with
# everything they need to run, and the help pages), then run under wine:
# --version on redirected output, the libraries' tests (less those whose
# references are Linux's), and the driver's scripts of the five tests, of
# import and export in a folder with a Chinese name, of the questions and of
# undo, which must print what they print on Linux. From stage/ the zip korvanta-VERSION-win64.zip and the installer
# korvanta-VERSION-setup.exe (NSIS, tools/windows/korvanta.nsi); the installer
# is checked under wine: installed silently, run, uninstalled silently.
#
#   tools/windows.sh            all three stages
#   tools/windows.sh toolchain  stage 1 only
#   tools/windows.sh korvanta   stage 3 only, against a built toolchain
#   tools/windows.sh package    the zip and the installer from an existing
#                               stage/, and the installer's check
#   tools/windows.sh ci         stage 3 when the toolchain is built (for
#                               .ci/run); says so plainly and skips otherwise
#   tools/windows.sh PIECE...   only those pieces of stage 1 (qt6-base, zlib, ...)
#
# KORVANTA_WINDOWS_BUILD names another build folder than build-windows/.
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
# program missing one ends with status 53 and says nothing. A UTF-8 locale,
# so that Chinese file names and arguments reach the program intact.
wine_env() {
  env LC_ALL=C.UTF-8 WINEPREFIX="$cache/wine" WINEDEBUG=-all,err+module WINEDLLOVERRIDES="mscoree,mshtml=" "$@"
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
# program, korvanta-driver and the Qt-free libraries' test programs (no
# statistics-package files: ReadStat's source is not in the archive here).
library_tests=(stats_tests detailed_tests delimited_tests grid_tests excel_tests results_tests fuzz_regression_tests)
windows_build=${KORVANTA_WINDOWS_BUILD:-$here/build-windows}
build_korvanta() {
  local log=$cache/logs/korvanta.log
  {
    cmake_cross -S "$here" -B "$windows_build" "${qt_consumer_args[@]}" \
      -DKORVANTA_READSTAT=OFF -DKORVANTA_BUILD_TESTS=ON &&
      low cmake --build "$windows_build" -j "$jobs" --target korvanta korvanta-driver "${library_tests[@]}"
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

# The program answers --version on redirected output.
check_korvanta() {
  local version
  version=$(run_staged korvanta.exe --version)
  echo "$version"
  [[ $version == Korvanta\ * ]] || die "korvanta.exe --version printed \"$version\""
}

# The libraries' test programs under wine, less the tests whose independent
# readers are Debian's programs and libraries (Python's xlrd, openpyxl and
# csv, PSPP, LibreOffice, FreeXL): tests/excel writes their names into
# linux_only.txt. The tests of a full disk and of a memory cap (setrlimit,
# fork) are not built for Windows; the window's tests are Linux's.
check_library_tests() {
  local run=$windows_build/library-tests programs=() program out status filter
  for program in "${library_tests[@]}"; do
    programs+=("$(find "$windows_build/tests" -name "$program.exe" -print -quit)")
  done
  # Beside them the C libraries and the compiler's runtime; no Qt.
  rm -rf "$run"
  mkdir -p "$run"
  cp "${programs[@]}" "$prefix"/bin/lib*.dll "$run/"
  filter=$(<"$windows_build/tests/excel/linux_only.txt")
  for program in "${library_tests[@]}"; do
    out=$run/$program.out
    status=0
    (cd "$run" && wine_env timeout 900 wine "$program.exe" "--gtest_filter=-$filter" 2>"$out.err" |
      tr -d '\r' >"$out") || status=$?
    wine_env timeout 30 wineserver -w || wine_env wineserver -k || true
    if ((status != 0)) || ! grep -Eq '^\[  PASSED  \] [1-9][0-9]* tests?\.' "$out" || grep -q '^\[  FAILED  \]' "$out"; then
      grep -E '^\[  FAILED  \]|Failure|error' "$out" | head -40 >&2 || true
      tail -5 "$out.err" >&2
      die "$program.exe under wine ended with status $status; its output is $out"
    fi
    echo "$program: $(grep -E '^\[  PASSED  \]' "$out")"
  done
}

# The driver's scripts that run under wine as on Linux: the five tests, import
# and export of .xls, .xlsx, .csv and .ods in a folder named 统计数据, the
# import preview, the question boxes and undo.
wine_scripts=(two_sample_typing paired_t_typing correlation_typing fourfold_typing paired_chisquare_typing
  import_export import_formats import_preview keep_data test_switching)

# run_wine_script NAME: tests/e2e/scripts/NAME.script as its Linux runner runs
# it (tests/e2e/run_script.cmake): ${DATA} and ${OUT} filled in, here as
# paths on wine's Z: drive, settings of its own (an INI file: the registry
# would be shared), the language of NAME.lang, and the output's paths written
# back as the Linux runner writes them, then compared with NAME.expected.
# shellcheck disable=SC2016 # ${DATA}, ${OUT}, ${BUILD} and ${SOURCE} are the scripts' own words
run_wine_script() {
  local name=$1 source=$here/tests/e2e/scripts/$1 out=$windows_build/e2e/统计数据/$1 text actual status=0 wanted=0
  local settings=()
  rm -rf "$out"
  mkdir -p "$out/settings"
  text=$(<"$source.script")
  text=${text//'${DATA}'/Z:$here/tests/data}
  text=${text//'${OUT}'/Z:$out}
  printf '%s\n' "$text" >"$out/script.txt"
  settings=(KORVANTA_SETTINGS_DIR="Z:$out/settings")
  [ -f "$source.lang" ] && settings+=(KORVANTA_LANG="$(tr -d '[:space:]' <"$source.lang")")
  [ -f "$source.rc" ] && wanted=$(tr -d '[:space:]' <"$source.rc")
  actual=$(cd "$windows_build/stage" && wine_env "${settings[@]}" timeout 180 xvfb-run -a \
    wine korvanta-driver.exe "Z:$out/script.txt" 2>"$out/errors.txt" | tr -d '\r') || status=$?
  wine_env timeout 30 wineserver -w || wine_env wineserver -k || true
  actual=${actual//"Z:$out"/'${BUILD}/tests/e2e/work/'$name}
  actual=${actual//"Z:$here"/'${SOURCE}'}
  printf '%s\n' "$actual" >"$out/actual.txt"
  ((status == wanted)) || die "$name under wine: the driver ended with $status, not $wanted; see $out/errors.txt"
  diff -u "$source.expected" "$out/actual.txt" || die "$name under wine differs from its Linux output"
  echo "$name: as on Linux"
}

check_scripts() {
  local name
  for name in "${wine_scripts[@]}"; do run_wine_script "$name"; done
}

# The version CMakeLists.txt gives the project, as --version prints it.
korvanta_version() {
  local version
  version=$(sed -n 's/^project(Korvanta VERSION \([0-9][0-9.]*\).*/\1/p' "$here/CMakeLists.txt")
  [ -n "$version" ] || die "no \"project(Korvanta VERSION ...)\" line in $here/CMakeLists.txt"
  echo "$version"
}

# What the installer shows and names its shortcuts after.
installer_product="Korvanta 医学统计计算器"

# installer_remove_list STAGE: the uninstaller's lines for the files of STAGE
# (NSIS), then for its folders, deepest first; a folder goes only when empty.
# $INSTDIR is NSIS's, not the shell's.
# shellcheck disable=SC2016
installer_remove_list() {
  local stage=$1 path
  while IFS= read -r path; do
    path=${path#./}
    path=${path//\$/\$\$}
    printf 'Delete "$INSTDIR\\%s"\n' "${path//\//\\}"
  done < <(cd "$stage" && find . -type f | sort)
  while IFS= read -r path; do
    path=${path#./}
    path=${path//\$/\$\$}
    printf 'RMDir "$INSTDIR\\%s"\n' "${path//\//\\}"
  done < <(cd "$stage" && find . -mindepth 1 -type d | sort -r)
}

# The zip and the installer, from the stage folder, into the build folder.
package_korvanta() {
  local version stage=$windows_build/stage work=$windows_build/package name zip setup
  local parts file_version file
  version=$(korvanta_version)
  name=korvanta-$version
  for file in korvanta.exe korvanta-driver.exe qt.conf help/index.html help/index_en.html; do
    [ -f "$stage/$file" ] || die "no $stage/$file: build Korvanta first (tools/windows.sh korvanta)"
  done
  rm -rf "$work"
  mkdir -p "$work"

  # The zip unpacks into one folder named after the version.
  zip=$windows_build/$name-win64.zip
  rm -f "$zip"
  cp -a "$stage" "$work/$name"
  (cd "$work" && cmake -E tar cf "$zip" --format=zip "$name")
  mkdir "$work/unzipped"
  (cd "$work/unzipped" && cmake -E tar xf "$zip")
  diff -r "$stage" "$work/unzipped/$name" >&2 ||
    die "$zip does not unpack to the stage folder under $name/"
  echo "$zip: $(find "$stage" -type f | wc -l) files under $name/, $(du -h "$zip" | cut -f1)"
  rm -rf "${work:?}/$name" "$work/unzipped"

  # Windows wants four numbers in a file's version resource.
  IFS=. read -ra parts <<<"$version"
  while ((${#parts[@]} < 4)); do parts+=(0); done
  file_version=$(IFS=.; echo "${parts[*]:0:4}")
  installer_remove_list "$stage" >"$work/remove.nsh"
  setup=$windows_build/$name-setup.exe
  rm -f "$setup"
  low makensis -V2 -WX -INPUTCHARSET UTF8 -DVERSION="$version" -DFILE_VERSION="$file_version" \
    -DSTAGE="$stage" -DREMOVE_LIST="$work/remove.nsh" -DOUTFILE="$setup" \
    "$here/tools/windows/korvanta.nsi" >"$work/makensis.log" 2>&1 || {
    tail -30 "$work/makensis.log" >&2
    die "makensis failed; the log is $work/makensis.log"
  }
  [ -f "$setup" ] || die "makensis made no $setup"
  echo "$setup: $(du -h "$setup" | cut -f1)"
}

# wine for the installer's check: no winemenubuilder, which would turn the
# installer's shortcuts into menu entries of the host's desktop. wine's own
# messages go to the check's log.
installer_wine() {
  wine_env WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" \
    timeout 120 "$@" 2>>"$windows_build/package/wine.log"
}

# Waits until every wine process has ended: an NSIS uninstaller copies itself
# to the temporary folder, starts the copy and returns at once.
wine_settle() {
  wine_env timeout 120 wineserver -w || {
    wine_env wineserver -k || true
    die "wine programs still ran after 120 s; wine's messages are in $windows_build/package/wine.log"
  }
}

# wine_windows_var NAME: a variable of wine's environment (USERPROFILE, ...).
wine_windows_var() {
  local value
  value=$(installer_wine wine cmd /c "echo %$1%" | tr -d '\r')
  [[ $value == [A-Za-z]:\\* ]] || die "wine's %$1% is \"$value\""
  echo "$value"
}

# unix_path WINDOWS_PATH: where a path on wine's C: drive is in the prefix.
unix_path() {
  local path=$1
  [[ $path == [Cc]:\\* ]] || die "$path is not on wine's C: drive"
  path=${path:3}
  echo "$cache/wine/drive_c/${path//\\//}"
}

# reg_export KEY: the key and its values as `reg export` writes them, in UTF-8
# (reg query prints Chinese as question marks on redirected output).
reg_export() {
  local file=$windows_build/package/export.reg
  rm -f "$file"
  installer_wine wine reg export "$1" "$file" /y >/dev/null || die "no registry key $1"
  iconv -f UTF-16 -t UTF-8 "$file" | tr -d '\r'
}

# reg_value NAME VALUE: the line of a string value in reg_export's output
# (@ names the default value).
reg_value() {
  local value=${2//\\/\\\\}
  value=${value//\"/\\\"}
  if [ "$1" = @ ]; then
    printf '@="%s"\n' "$value"
  else
    printf '"%s"="%s"\n' "$1" "$value"
  fi
}

# expect_reg KEY NAME VALUE...: each named string value of KEY is VALUE.
expect_reg() {
  local key=$1 exported
  shift
  exported=$(reg_export "$key")
  while (($#)); do
    grep -Fxq "$(reg_value "$1" "$2")" <<<"$exported" ||
      die "$key: $1 is not \"$2\"; the key holds:"$'\n'"$exported"
    shift 2
  done
  echo "  $key: as expected"
}

reg_has() { installer_wine wine reg query "$@" >/dev/null; }

# default_program EXT: what opens EXT when nothing is chosen, the user's
# entry (HKCU\Software\Classes) before the machine's, as Windows reads them;
# wine's HKCR shows only the machine's.
default_program() {
  local root value
  for root in 'HKCU\Software\Classes' HKCR; do
    value=$(installer_wine wine reg query "$root\\$1" /ve | tr -d '\r' |
            sed -n 's/^ *(Default) *REG_[A-Z_]* *//p' || true)
    [ "$value" != "(value not set)" ] || value=
    if [ -n "$value" ]; then
      echo "$value"
      return
    fi
  done
}

open_with_extensions=(.xls .xlsx .csv)
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Korvanta'
application_key='HKCU\Software\Classes\Applications\korvanta.exe'

# installer_round FOLDER: installs the installer silently (into FOLDER, or
# where it installs by default when FOLDER is empty), checks the program, the
# shortcuts and the registry entries, uninstalls silently and checks that all
# of them are gone.
installer_round() {
  local chosen=$1 folder=$1 version setup stage=$windows_build/stage profile appdata unix out
  local shortcuts ext args=(/S) before=() had_key=() i file key
  version=$(korvanta_version)
  setup=$windows_build/korvanta-$version-setup.exe
  [ -f "$setup" ] || die "no $setup: make it first (tools/windows.sh package)"
  profile=$(wine_windows_var USERPROFILE)
  appdata=$(wine_windows_var APPDATA)
  # The installer's default: %LOCALAPPDATA%\Programs\Korvanta.
  [ -n "$folder" ] || folder="$(wine_windows_var LOCALAPPDATA)\\Programs\\Korvanta"
  unix=$(unix_path "$folder")
  shortcuts=("$(unix_path "$appdata")/Microsoft/Windows/Start Menu/Programs/$installer_product.lnk"
             "$(unix_path "$profile")/Desktop/$installer_product.lnk")
  # wine links the Desktop folder to the host's home: the desktop shortcut
  # belongs in the prefix.
  if [ -L "$(unix_path "$profile")/Desktop" ]; then
    rm "$(unix_path "$profile")/Desktop"
    mkdir "$(unix_path "$profile")/Desktop"
  fi
  # What an interrupted check left behind would make this one pass wrongly.
  if reg_has "$uninstall_key" || reg_has "$application_key" || [ -e "$unix" ]; then
    echo "removing what an earlier check left in the wine prefix"
    installer_wine wine reg delete "$uninstall_key" /f >/dev/null || true
    installer_wine wine reg delete "$application_key" /f >/dev/null || true
    for ext in "${open_with_extensions[@]}"; do
      installer_wine wine reg delete "HKCU\\Software\\Classes\\$ext\\OpenWithList\\korvanta.exe" /f >/dev/null || true
    done
    rm -rf "$unix" "${shortcuts[@]}"
  fi
  for i in "${!open_with_extensions[@]}"; do
    ext=${open_with_extensions[i]}
    before[i]=$(default_program "$ext")
    had_key[i]=0
    if reg_has "HKCU\\Software\\Classes\\$ext"; then had_key[i]=1; fi
  done

  [ -z "$chosen" ] || args+=("/D=$folder")
  echo "setup.exe ${args[*]}"
  installer_wine wine "$setup" "${args[@]}" || die "setup.exe ${args[*]} ended with status $?"
  wine_settle
  [ -f "$unix/uninstall.exe" ] || die "no uninstall.exe in $unix after installing"
  diff -r -x uninstall.exe "$stage" "$unix" >&2 || die "$folder does not hold the stage folder"
  echo "  $folder: every file of the stage folder, and uninstall.exe"
  out=$(cd "$unix" && installer_wine xvfb-run -a wine korvanta.exe --version | tr -d '\r') ||
    die "the installed korvanta.exe --version failed: \"$out\""
  wine_settle
  [ "$out" = "Korvanta $version" ] || die "the installed korvanta.exe --version printed \"$out\", not \"Korvanta $version\""
  echo "  installed korvanta.exe --version: $out"
  for file in "${shortcuts[@]}"; do
    [ -f "$file" ] || die "no shortcut $file"
    grep -aq 'korvanta\.exe' "$file" || die "the shortcut $file does not name korvanta.exe"
    echo "  shortcut to korvanta.exe: $file"
  done
  expect_reg "$uninstall_key" DisplayName "$installer_product" DisplayVersion "$version" \
    Publisher Korvanta InstallLocation "$folder" \
    UninstallString "\"$folder\\uninstall.exe\"" QuietUninstallString "\"$folder\\uninstall.exe\" /S"
  expect_reg "$application_key\\shell\\open\\command" @ "\"$folder\\korvanta.exe\" \"%1\""
  for i in "${!open_with_extensions[@]}"; do
    ext=${open_with_extensions[i]}
    reg_has "$application_key\\SupportedTypes" /v "$ext" || die "$ext is not among $application_key\\SupportedTypes"
    reg_has "HKCU\\Software\\Classes\\$ext\\OpenWithList\\korvanta.exe" ||
      die "no HKCU\\Software\\Classes\\$ext\\OpenWithList\\korvanta.exe"
    [ "$(default_program "$ext")" = "${before[i]}" ] ||
      die "installing made \"$(default_program "$ext")\" the default program of $ext (it was \"${before[i]}\")"
    echo "  $ext: Korvanta in \"Open with\", the default program unchanged"
  done

  # The uninstaller as Windows runs it: QuietUninstallString's command.
  echo "uninstall.exe /S"
  installer_wine wine "$unix/uninstall.exe" /S || die "uninstall.exe /S ended with status $?"
  wine_settle
  [ ! -e "$unix" ] || die "$folder is still there after uninstalling: $(cd "$unix" && find . | tr '\n' ' ')"
  for file in "${shortcuts[@]}"; do
    [ ! -e "$file" ] || die "the shortcut $file is still there after uninstalling"
  done
  for key in "$uninstall_key" "$application_key"; do
    ! reg_has "$key" || die "$key is still there after uninstalling"
  done
  for i in "${!open_with_extensions[@]}"; do
    ext=${open_with_extensions[i]}
    ! reg_has "HKCU\\Software\\Classes\\$ext\\OpenWithList\\korvanta.exe" ||
      die "HKCU\\Software\\Classes\\$ext\\OpenWithList\\korvanta.exe is still there after uninstalling"
    ((had_key[i])) || ! reg_has "HKCU\\Software\\Classes\\$ext" ||
      die "HKCU\\Software\\Classes\\$ext, made by the installer, is still there after uninstalling"
  done
  echo "  gone: $folder, both shortcuts, the keys Uninstall\\Korvanta, Applications\\korvanta.exe and the \"Open with\" entries"
  # The installer made the chosen folder's parent too; uninstallers leave
  # that, so the check removes it.
  [ -z "$chosen" ] || rmdir "$(dirname "$unix")"
}

# The installer under wine, twice: into its default folder, and into a folder
# whose name holds Chinese characters, as many users' do.
check_installer() {
  local profile
  mkdir -p "$windows_build/package"
  : >"$windows_build/package/wine.log"
  installer_round ""
  profile=$(wine_windows_var USERPROFILE)
  installer_round "$profile\\统计程序\\Korvanta"
}

stage_korvanta() {
  step "wine prefix" prepare_wine
  step "Korvanta: cross-build into build-windows/" build_korvanta
  stage_checks
  stage_package
}

stage_checks() {
  step "Korvanta under wine: --version" check_korvanta
  step "The libraries' tests under wine" check_library_tests
  step "The driver's scripts under wine, as on Linux" check_scripts
}

stage_package() {
  step "Korvanta: the zip and the installer" package_korvanta
  step "The installer under wine: /S, the program, shortcuts, registry, uninstall /S" check_installer
}

# ---------------------------------------------------------------- main

total=$SECONDS
case ${1:-all} in
  all)
    stage_toolchain
    stage_proof
    step "Korvanta: cross-build into build-windows/" build_korvanta
    stage_checks
    stage_package
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
  ci)
    # A skip proves nothing, and says so: run tools/windows.sh toolchain once
    # on the machine, and tools/windows.sh whenever shared code changes.
    missing=()
    for piece in "${all_pieces[@]}"; do
      [ -f "$cache/stamps/$piece" ] || missing+=("$piece")
    done
    if ((${#missing[@]})); then
      echo "SKIPPED: the Windows build is not built or tested here: the toolchain in $cache lacks ${missing[*]}" \
        "(tools/windows.sh toolchain, as root, builds it once; it takes hours)."
      exit 0
    fi
    stage_korvanta
    ;;
  package)
    # From the stage folder a build left; the toolchain is not needed.
    mkdir -p "$cache"
    step "wine prefix" prepare_wine
    stage_package
    ;;
  *) stage_toolchain "$@" ;;
esac

say "Times"
printf '%s\n' "${timings[@]}"
printf '%6d s  total\n' $((SECONDS - total))
