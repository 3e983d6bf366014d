#!/usr/bin/env bash
# Compares what two homing-sim builds write, byte for byte: for every
# scenario in docs/, its trace, --summary, --compare (picture and table) and
# its png/trail pictures; capture maps (CSV and PNG) at --step 10 under each
# marker motion, a held draw and fixed draws; a sweep (CSV and PNG). Prints
# each difference and exits 1 if any.
# With METHODS=N, the tables (maps, sweeps, --compare's) are compared on the
# rows of methods 0 to N-1 alone, and pictures whose panels those tables
# describe are left out: for a build that added methods after them.
# Usage: [METHODS=N] bench/compare-outputs.sh OLD_HOMING_SIM NEW_HOMING_SIM
set -euo pipefail
if [ $# -ne 2 ] || [ ! -x "$1" ] || [ ! -x "$2" ]; then
  echo "usage: [METHODS=N] bench/compare-outputs.sh OLD_HOMING_SIM NEW_HOMING_SIM (both executables)" >&2
  exit 2
fi
methods=${METHODS:-}
old=$(realpath "$1") new=$(realpath "$2")
docs=$(realpath "$(dirname "$0")/../docs")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/old" "$work/new"

# Runs homing-sim ($1: old or new) in its own folder; standard output to file $2.
run() {
  local which=$1 out=$2
  shift 2
  local sim=$old
  [ "$which" = old ] || sim=$new
  (cd "$work/$which" && "$sim" "$@" > "$out" 2> /dev/null) || echo "exit $?" >> "$work/$which/$out"
}
both() { run old "$@"; run new "$@"; }

for script in "$docs"/*.txt; do
  name=$(basename "$script" .txt)
  # The script's own png/trail lines write into the run's folder.
  both "$name.trace" "$script"
  both "$name.summary" --summary "$script"
  both "$name.compare" --compare "$name-compare.png" "$script"
done
motions=("--marker-motion line 0 0" "--marker-motion line 0.5 -0.25" "--marker-motion circle 30 100"
  "--marker-motion weave 40 80" "--marker-motion flee 1.5" "--hold turn=0.05" "--draws 0.5 --shots 1" "--limit --hold limit=0.75")
for n in "${!motions[@]}"; do
  read -r -a settings <<< "${motions[$n]}"
  both "map$n.out" --map "map$n.csv" --step 10 --shots 4 "${settings[@]}"
  both "mappng$n.out" --map "map$n.png" --step 10 --shots 4 "${settings[@]}"
done
both sweep.out --sweep sweep.csv --step 30 --shots 2 --values 4
both sweeppng.out --sweep sweep.png --step 30 --shots 2 --values 4

if [ -n "$methods" ]; then
  for side in old new; do
    cd "$work/$side"
    rm -f map*.png sweep.png ./*-compare.png
    for file in map*.csv; do awk -F, -v n="$methods" 'NR == 1 || $3 < n' "$file" > "$file.rows" && mv "$file.rows" "$file"; done
    awk -F, -v n="$methods" 'NR == 1 || $1 < n' sweep.csv > sweep.rows && mv sweep.rows sweep.csv
    for file in ./*.compare; do awk -v n="$methods" 'NR == 1 || ($1 ~ /^[0-9]+$/ && $1 < n)' "$file" > "$file.rows" && mv "$file.rows" "$file"; done
  done
  cd /
fi
differ=0
for file in "$work"/old/*; do
  name=$(basename "$file")
  if ! cmp -s "$file" "$work/new/$name"; then
    echo "differs: $name"
    differ=1
  fi
done
for file in "$work"/new/*; do
  [ -e "$work/old/$(basename "$file")" ] || { echo "only in the new build: $(basename "$file")"; differ=1; }
done
echo "compared $(ls "$work/old" | wc -l) outputs"
exit $differ
