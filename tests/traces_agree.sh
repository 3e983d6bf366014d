#!/usr/bin/env bash
# traces_agree.sh COUNT GENERATOR REFERENCE OTHER...: every build of homing-sim
# must write the same trace, byte for byte, as the reference build, on every
# docs/*.txt scenario and on COUNT random ones from GENERATOR. A difference
# names the scenario and the first differing line.
set -euo pipefail
count=$1 generator=$(realpath "$2") reference=$(realpath "$3")
shift 3
source_dir=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/docs" # the docs scenarios write their pictures there, not over ours

passed=0 failed=0
compare() { # NAME SCRIPT
  (cd "$work" && "$reference" "$2" > "$work/expected.csv")
  for other in "${others[@]}"; do
    (cd "$work" && "$other" "$2" > "$work/actual.csv")
    if cmp -s "$work/expected.csv" "$work/actual.csv"; then
      passed=$((passed + 1))
    else
      failed=$((failed + 1))
      echo "traces differ: $1 under $other"
      diff "$work/expected.csv" "$work/actual.csv" | head -3
    fi
  done
}

others=()
for other in "$@"; do others+=("$(realpath "$other")"); done
for script in "$source_dir"/docs/*.txt; do
  compare "$(basename "$script")" "$script"
done
for ((n = 0; n < count; ++n)); do
  "$generator" "$n" > "$work/random.txt"
  compare "random scenario $n" "$work/random.txt"
done
echo "traces: $passed passed, $failed failed"
((failed == 0))
