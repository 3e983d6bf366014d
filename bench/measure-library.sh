#!/usr/bin/env bash
# measure-library.sh [STEP] [SHOTS] [ROUNDS]: a capture map through the C
# API (bench/library-map, a plain C program on libhoming) beside homing-sim
# --map, the same map, on one thread and on every core, alternated for
# ROUNDS rounds; the median seconds of each and their ratio. Then a world's
# frame through the API beside RunFrame (BM_LibraryFrame, BM_DirectFrame).
# The maps must hold the same figures. A benchmark, not a test: it prints figures.
set -euo pipefail
cd "$(dirname "$0")/.."
step=${1:-4} shots=${2:-32} rounds=${3:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sim=build/runner/homing-sim library=build/bench/library-map
[ -x "$sim" ] && [ -x "$library" ] || { echo "measure-library: build homing-sim and library-map first (scripts/setup)" >&2; exit 2; }
settings="--step $step --shots $shots"
for threads in 1 "$(nproc)"; do
  for ((round = 0; round < rounds; ++round)); do
    # shellcheck disable=SC2086 # the settings are words
    /usr/bin/time -f "%e" -o "$work/t" "$sim" --map "$work/sim.csv" $settings --threads "$threads"
    echo "sim $threads $(cat "$work/t")" >> "$work/runs"
    /usr/bin/time -f "%e" -o "$work/t" "$library" map "$settings" "$threads" > "$work/library.csv"
    echo "library $threads $(cat "$work/t")" >> "$work/runs"
  done
  tail -n +3 "$work/sim.csv" | cmp -s - "$work/library.csv" ||
    { echo "measure-library: the library's map differs from homing-sim's" >&2; exit 1; }
done
echo "a map, --step $step --shots $shots: median seconds of $rounds rounds, alternated"
for threads in 1 "$(nproc)"; do
  s=$(awk -v t="$threads" '$1 == "sim" && $2 == t { print $3 }' "$work/runs" | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }')
  l=$(awk -v t="$threads" '$1 == "library" && $2 == t { print $3 }' "$work/runs" | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }')
  awk -v t="$threads" -v s="$s" -v l="$l" 'BEGIN { printf "%d thread(s): homing-sim %.2f s, the C API %.2f s, ratio %.3f\n", t, s, l, l / s }'
done
echo "a world's frame, ns (CPU): the C API beside RunFrame, median of 9, interleaved"
build/bench/homing-bench --benchmark_filter='^BM_(Library|Direct)Frame/' --benchmark_repetitions=9 --benchmark_enable_random_interleaving=true \
  --benchmark_report_aggregates_only=true --benchmark_format=csv 2> /dev/null |
  awk -F, '$1 ~ /_median"?$/ { split($1, n, /[_\/]/); kind = n[2]; mode = n[3] + 0; ns[kind, mode] = $4; modes[mode] = 1 }
    END { printf "mode  library   direct   ratio\n"
      for (m = 0; m in modes; ++m) printf "%-4d %8.1f %8.1f   %.3f\n", m, ns["LibraryFrame", m], ns["DirectFrame", m], ns["LibraryFrame", m] / ns["DirectFrame", m] }'
