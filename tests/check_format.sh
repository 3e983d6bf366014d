#!/usr/bin/env bash
# check_format.sh SOURCE-DIR: every C++ file of the project as .clang-format
# lays it out; names each file that is not (clang-format -i FILE mends it).
set -euo pipefail
cd "$1"
mapfile -t files < <(git ls-files '*.cpp' '*.h' 2> /dev/null ||
  find . -path './build*' -prune -o -path './tests/web/node_modules' -prune -o \( -name '*.cpp' -o -name '*.h' \) -print)
bad=()
for file in "${files[@]}"; do
  clang-format --dry-run --Werror "$file" > /dev/null 2>&1 || bad+=("$file")
done
if ((${#bad[@]})); then
  echo "not as .clang-format lays it out (run clang-format -i on them): ${bad[*]}"
  exit 1
fi
echo "${#files[@]} files as .clang-format lays them out"
