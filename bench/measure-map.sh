#!/usr/bin/env bash
# measure-map.sh [STEP] [SHOTS]: how fast homing-sim makes a capture map, on
# one thread and on every core, side by side: shots and shot-frames a second,
# the speed-up, and the cost of a shot-frame beside one shot's step measured
# alone (homing-bench's RunFrameOneShot, the mean over the methods).
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
# Shot-frames flown: each caught shot's frames from the table's means, and an
# expired shot's whole life (500 frames) for each one not caught.
shot_frames=$(awk -F, 'NR > 1 { n += ($8 == "" ? 0 : $8 * $5) + ($4 - $5) * 500 } END { printf "%.0f", n }' \
  "$work/map.csv")
step_ns=$(build/bench/homing-bench --benchmark_filter='BM_RunFrameOneShot/' --benchmark_format=csv 2> /dev/null |
  awk -F, '/BM_RunFrameOneShot\// { t += $4; ++n } END { printf "%.2f", t / n }')
methods=$(awk -F, 'NR > 1 { seen[$3] = 1 } END { print length(seen) }' "$work/map.csv")
awk -v places="$places" -v methods="$methods" -v shots="$shots" -v frames="$shot_frames" -v step="$step_ns" '
  { t[NR] = $1; s[NR] = $2; m[NR] = $3 }
  END {
    n = places * methods * shots
    printf "%d places x %d methods x %d shots = %d shots\n", places, methods, shots, n
    printf "about %.0f shot-frames flown\n", frames
    for (i = 1; i <= NR; ++i)
      printf "%2d thread(s): %6.2f s, %8.0f shots and %6.1f million shot-frames a second, peak memory %.0f MB\n",
        t[i], s[i], n / s[i], frames / s[i] / 1e6, m[i] / 1024
    printf "speed-up on %d cores: %.2f\n", t[NR], s[1] / s[NR]
    printf "one thread: %.1f ns a shot-frame; one shot'"'"'s step alone (RunFrameOneShot, mean of the methods): %.1f ns; ratio %.2f\n",
      s[1] * 1e9 / frames, step, s[1] * 1e9 / frames / step }' "$work/runs"
