#!/usr/bin/env bash
# The analysers the test command runs, all of which must be clean:
#   - includes that run one way (tools/check_layers.sh);
#   - formatting as .clang-format says;
#   - cppcheck over the product code;
#   - clang-tidy (.clang-tidy) over the portable core, through the host
#     build's compile commands; over the Win32 code, through the windows
#     build's (clang in mingw-w64 mode, with the cross compiler's C++
#     library); over the Linux backend, through the linux build's.
# Needs the three builds configured (compile_commands.json).
set -uo pipefail
cd "$(dirname "$0")/.."
product="skin common netmgmt controls monitor query scanner ping shell"
status=0
step() { echo "=== $1"; }

step "layers"
tools/check_layers.sh || status=1

step "format"
sources=$(git ls-files -co --exclude-standard '*.cpp' '*.h' '*.c')
clang-format --dry-run --Werror $sources || status=1

step "cppcheck"
# shellcheck disable=SC2086
cppcheck --enable=warning,performance,portability --std=c++17 --inline-suppr --error-exitcode=1 -q \
  -I . -I build/host/generated $product || status=1

tidy() {  # build dir, files, extra clang arguments
  local build=$1 files=$2
  shift 2
  local args=(-quiet -p "$build" -extra-arg=-fexec-charset=UTF-8)
  for a in "$@"; do args+=("-extra-arg=$a"); done
  # shellcheck disable=SC2086
  run-clang-tidy "${args[@]}" $files >"$build/clang-tidy.log" 2>&1
  if grep -qE '(error|warning): ' "$build/clang-tidy.log"; then
    grep -E -A3 '(error|warning): ' "$build/clang-tidy.log"
    return 1
  fi
}

step "clang-tidy: portable core"
core=$(git ls-files -co --exclude-standard $product | grep -E '\.cpp$' | grep -vE '_(win|linux)\.cpp$')
tidy build/host "$core" || status=1

step "clang-tidy: Win32 code"
gcc_dir=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
win=$(git ls-files -co --exclude-standard $product | grep -E '_win\.cpp$')
tidy build/windows "$win" --target=x86_64-w64-mingw32 "-isystem$gcc_dir/include/c++" \
  "-isystem$gcc_dir/include/c++/x86_64-w64-mingw32" "-isystem$gcc_dir/include/c++/backward" || status=1

step "clang-tidy: Linux backend"
# Plain POSIX code, compiled by wineg++ without Windows headers.
linux=$(git ls-files -co --exclude-standard $product | grep -E '_linux\.cpp$')
tidy build/linux "$linux" || status=1

[ $status -eq 0 ] && echo "static checks: clean"
exit $status
