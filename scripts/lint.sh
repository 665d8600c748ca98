#!/usr/bin/env bash
# Keeps the house style and looks for faults, failing on any finding:
#   clang-format  every C++ file against .clang-format
#   clang-tidy    the product and the tools as the MinGW build compiles them
#                 (compile_commands.json of the configured build, .clang-tidy)
#   cppcheck      src/
#
#   scripts/lint.sh [BUILD_DIR] [FILE...]   FILEs: only these (C++ files)
set -uo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
shift || true
jobs=${JOBS:-$(nproc 2>/dev/null || echo 2)}
if [ $# -gt 0 ]; then files=("$@"); else mapfile -t files < <(git ls-files '*.cpp' '*.h'); fi
status=0

echo "lint: clang-format, ${#files[@]} files"
clang-format --dry-run -Werror "${files[@]}" || status=1

# clang reads the MinGW build's own commands, but needs the target named and
# MinGW's libstdc++ headers, which only the MinGW compiler knows the place of.
commands=$build/compile_commands.json
if [ ! -f "$commands" ]; then
  echo "lint: $commands is missing; configure the build first (make configure)" >&2
  exit 1
fi
cxx=$(sed -n 's/.*"command": "\([^ ]*\) .*/\1/p' "$commands" | head -1)
# Findings in our own headers count; in anyone else's (/usr/src/googletest too) not.
args=("--header-filter=^$PWD/(src|tools|tests)/" --extra-arg=--target=i686-w64-mingw32 --extra-arg=-nostdinc++)
while read -r dir; do
  args+=("--extra-arg=-isystem$dir")
done < <(echo | "$cxx" -xc++ -E -v - 2>&1 | sed -n 's/^ \(.*\/include\/c++.*\)$/\1/p')
mapfile -t units < <(printf '%s\n' "${files[@]}" | grep -E '^(src|tools)/.*\.cpp$')
if [ ${#units[@]} -gt 0 ]; then
  echo "lint: clang-tidy, ${#units[@]} files"
  printf '%s\n' "${units[@]}" |
    xargs -P "$jobs" -n 2 clang-tidy -p "$build" --quiet "${args[@]}" 2>/dev/null || status=1
fi

echo "lint: cppcheck, src/"
cppcheck --quiet --error-exitcode=1 --enable=warning,performance,portability --inline-suppr --std=c++17 \
  --platform=win32A -D_WIN32 -I src -I src/resources src || status=1

[ $status -eq 0 ] && echo "lint: clean"
exit $status
