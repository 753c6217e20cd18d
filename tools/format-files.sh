# Lists the C++ sources under version control that the one code style covers.
# Sourced by tools/format.sh and tools/check-format.sh.
format_files() {
  git -C "$1" ls-files -z -- '*.cpp' '*.h' '*.hpp' '*.cc'
}
