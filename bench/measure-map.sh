#!/usr/bin/env bash
# measure-map.sh [STEP] [SHOTS]: how fast homing-sim makes a capture map, on
# one thread and on every core, side by side: shots a second and the speed-up.
# A benchmark, not a test: it prints figures. Usage (after ./scripts/setup):
#   bench/measure-map.sh 3 32
set -euo pipefail
cd "$(dirname "$0")/.."
step=${1:-3} shots=${2:-32}
sim=build/runner/homing-sim
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
places=$(( (299 / step + 1) * (299 / step + 1) ))
cores=$(nproc)
for threads in 1 "$cores"; do
  /usr/bin/time -f "%e %M" -o "$work/time" "$sim" --map "$work/map.csv" --step "$step" --shots "$shots" \
    --threads "$threads"
  read -r seconds kilobytes < "$work/time"
  echo "$threads $seconds $kilobytes" >> "$work/runs"
done
awk -v places="$places" -v shots="$shots" '
  { t[NR] = $1; s[NR] = $2; m[NR] = $3 }
  END {
    n = places * 6 * shots
    printf "%d places x 6 methods x %d shots = %d shots\n", places, shots, n
    for (i = 1; i <= NR; ++i)
      printf "%2d thread(s): %6.2f s, %8.0f shots a second, peak memory %.0f MB\n", t[i], s[i], n / s[i], m[i] / 1024
    printf "speed-up on %d cores: %.2f\n", t[NR], s[1] / s[NR] }' "$work/runs"
