#!/usr/bin/env bash
# Compares builds' RunFrame figures side by side on this machine: the same
# benchmark binary from each build folder, run in turn for ROUNDS rounds (the
# order rotated every round, so drift and warm-up hit all alike), then the
# median of each mode's per-round medians and its ratio to the first build.
# Usage: bench/compare-runframe.sh BUILD_A BUILD_B [BUILD ...]
#   ROUNDS=N sets the rounds (default 5); e.g. bench/compare-runframe.sh /tmp/old/build build
# A build folder is one configured with the benchmarks on (bench/homing-bench built).
set -euo pipefail
if [ $# -lt 2 ]; then
  echo "usage: bench/compare-runframe.sh BUILD_A BUILD_B [BUILD ...]  (ROUNDS=N, default 5)" >&2
  exit 2
fi
rounds=${ROUNDS:-5}
case $rounds in '' | *[!0-9]* | 0) echo "compare-runframe: ROUNDS must be a whole number above 0, not '$rounds'" >&2; exit 2 ;; esac
builds=("$@")
for build in "${builds[@]}"; do
  [ -x "$build/bench/homing-bench" ] ||
    { echo "compare-runframe: no benchmark at $build/bench/homing-bench (build the homing-bench target)" >&2; exit 2; }
done

results=$(mktemp)
trap 'rm -f "$results"' EXIT
# One round of build number $1: "BUILD MODE NANOSECONDS" per mode, the median of 3 repetitions.
run() {
  "${builds[$1]}/bench/homing-bench" --benchmark_filter='^BM_RunFrame/' --benchmark_repetitions=3 \
    --benchmark_report_aggregates_only=true --benchmark_format=csv 2> /dev/null |
    awk -F, -v build="$1" '$1 ~ /_median"?$/ { split($1, name, /[:_]/); print build, name[3], $4 }'
}
for ((round = 0; round < rounds; ++round)); do
  for ((i = 0; i < ${#builds[@]}; ++i)); do run $(((round + i) % ${#builds[@]})); done
done > "$results"

echo "RunFrame, 21 flying shots, speed limit on: ns per frame (CPU), median of $rounds rounds"
for ((i = 0; i < ${#builds[@]}; ++i)); do echo "build $i: ${builds[$i]}"; done
sort -k1,1n -k2,2n -k3,3g "$results" | awk -v builds=${#builds[@]} '
  { values[$1, $2, ++count[$1, $2]] = $3; modes[$2] = 1 }
  function median(build, mode,   n) {
    n = count[build, mode]
    return n % 2 ? values[build, mode, (n + 1) / 2] : (values[build, mode, n / 2] + values[build, mode, n / 2 + 1]) / 2
  }
  END {
    printf "%-5s", "mode"
    for (b = 0; b < builds; ++b) printf " %9s", "build " b
    for (b = 1; b < builds; ++b) printf " %9s", b " / 0"
    printf "\n"
    for (mode = 0; mode in modes; ++mode) {
      printf "%-5d", mode
      for (b = 0; b < builds; ++b) printf " %9.1f", median(b, mode)
      for (b = 1; b < builds; ++b) printf " %9.2f", median(b, mode) / median(0, mode)
      printf "\n"
    }
  }'
