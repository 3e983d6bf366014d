#!/usr/bin/env bash
# measure-map-node.sh [STEP] [SHOTS]: the capture map's code compiled to
# WebAssembly (build-web/web/homing-sim.js, under Node) beside the native
# homing-sim, one thread each, alternated over ROUNDS (default 3): the time a
# map takes and its cost per shot-frame; the two maps must be byte-identical.
# A benchmark, not a test: it prints figures. Usage (after scripts/test, or
# scripts/web and scripts/setup):
#   bench/measure-map-node.sh 5 8
set -euo pipefail
cd "$(dirname "$0")/.."
step=${1:-5} shots=${2:-8} rounds=${ROUNDS:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
settings=(--step "$step" --shots "$shots")
for round in $(seq "$rounds"); do
  /usr/bin/time -f "native %e" -a -o "$work/times" build/runner/homing-sim --map "$work/native.csv" "${settings[@]}" \
    --threads 1
  /usr/bin/time -f "node %e" -a -o "$work/times" node build-web/web/homing-sim.js --map - "${settings[@]}" \
    > "$work/node.csv"
done
cmp -s "$work/native.csv" "$work/node.csv" || { echo "measure-map-node: the WebAssembly map differs" >&2; exit 1; }
frames=$(awk -F, '$1 ~ /^[0-9]+$/ { n += ($8 == "" ? 0 : $8 * $5) + ($4 - $5) * 500 } END { printf "%.0f", n }' "$work/native.csv")
sort -k2 -n "$work/times" | awk -v frames="$frames" '
  { t[$1] = t[$1] " " $2; n[$1]++; all[$1, n[$1]] = $2 }
  END {
    for (k in n) { m = all[k, int((n[k] + 1) / 2)]; med[k] = m
      printf "%-6s median %6.2f s of%s: %5.1f ns a shot-frame\n", k, m, t[k], m * 1e9 / frames }
    printf "WebAssembly under Node: %.2f times native\n", med["node"] / med["native"] }'
