#!/usr/bin/env bash
# Builds the libFuzzer targets in fuzz/ with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer into build-fuzz/ and runs one of them, or each
# in turn, for the given number of seconds:
#   tools/fuzz.sh parse_fixed4 600      tools/fuzz.sh all 600
# Targets: parse_fixed4 leading_number format_four_decimals clean_cell_text
# xls_reader xlsx_reader ods_reader delimited_file paste sheet_listing
# xls_roundtrip xlsx_roundtrip stat_reader. Every target runs with 512 MB for its
# memory and for any one allocation, so a reader that expands a file past
# the import's limits counts as a finding. The text targets (delimited_file,
# paste) take inputs of up to 8 MB, so that the shapes whose cost grows
# with the text (a wide line over many short ones, millions of rows) are
# tried at sizes where a cost past linear shows as a timeout. The committed
# seeds in fuzz/corpus/<target>/ stay as they are; what a run finds goes to
# build-fuzz/corpus/<target>/, and a crashing input to
# build-fuzz/artifacts/<target>/ (keep it in fuzz/regressions/<target>/ with
# a fix: tests/hostile/fuzz_regressions_tests.cpp replays that folder).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
if [ $# -ne 2 ]; then
  echo "usage: $0 TARGET|all SECONDS" >&2
  exit 2
fi
target=$1
seconds=$2
build=${KORVANTA_FUZZ_BUILD_DIR:-$here/build-fuzz}

# The build's own packages, then clang with libFuzzer's runtime (needed here
# only, so tools/deps.sh leaves them out).
"$here/tools/deps.sh"
missing=()
for p in clang libclang-rt-14-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
all=(parse_fixed4 leading_number format_four_decimals clean_cell_text xls_reader xlsx_reader ods_reader delimited_file paste
     sheet_listing xls_roundtrip xlsx_roundtrip stat_reader)

flags="-g -fno-omit-frame-pointer -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
  -DKORVANTA_FUZZ=ON -DKORVANTA_BUILD_TESTS=OFF

run() {
  local name=$1
  cmake --build "$build" -j 2 --target "fuzz_$name"
  local corpus=$build/corpus/$name artifacts=$build/artifacts/$name/
  mkdir -p "$corpus" "$artifacts"
  local seeds=()
  [ -d "$here/fuzz/corpus/$name" ] && seeds+=("$here/fuzz/corpus/$name")
  # The readers also start from the workbook fixtures and the hostile files,
  # those under 48 KB: the 1,048,576-row sheet (67 KB) expands to 27 MB and
  # would slow every mutation of it to seconds.
  case $name in
    xls_reader|xlsx_reader|ods_reader|delimited_file|sheet_listing)
      local extra=$build/seeds/$name
      mkdir -p "$extra"
      local patterns=()
      case $name in
        delimited_file) patterns=(-iname "*.csv" -o -iname "*.txt") ;;
        sheet_listing) patterns=(-iname "*.xls" -o -iname "*.xlsx" -o -iname "*.ods") ;;
        *) patterns=(-iname "*.${name%_reader}") ;;
      esac
      find "$here/tests/data" -maxdepth 2 -type f \( "${patterns[@]}" \) -size -48k -exec cp -t "$extra" {} +
      seeds+=("$extra")
      ;;
    stat_reader)
      # The fixtures, each behind the byte that picks its format.
      local extra=$build/seeds/$name
      mkdir -p "$extra"
      local k=0 kind
      for f in "$here"/tests/data/*.{sav,zsav,por,dta,sas7bdat,xpt}; do
        case $f in
          *.sav|*.zsav) kind=0 ;; *.por) kind=1 ;; *.dta) kind=2 ;; *.sas7bdat) kind=3 ;; *) kind=4 ;;
        esac
        { printf "\\$(printf %o "$kind")"; cat "$f"; } > "$extra/seed$k"
        k=$((k + 1))
      done
      seeds+=("$extra")
      ;;
  esac
  local sizes=()
  case $name in
    delimited_file|paste) sizes=(-max_len=8388608) ;;
  esac
  echo "== fuzz_$name for ${seconds}s"
  ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1} \
    "$build/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=512 -malloc_limit_mb=512 "${sizes[@]}" \
    -artifact_prefix="$artifacts" -print_final_stats=1 "$corpus" "${seeds[@]}"
}

if [ "$target" = all ]; then
  for name in "${all[@]}"; do run "$name"; done
else
  run "$target"
fi
