#!/usr/bin/env bash
# measure-map.sh [STEP] [SHOTS]: how fast homing-sim makes a capture map, on
# one thread and on every core: shots and shot-frames a second, the speed-up
# and peak memory. With BASELINE=SIM (another build's homing-sim) the same
# maps are made by both, alternated, and the ratios printed; the two maps
# must be byte-identical. MAP_SETTINGS adds map settings to every run
# (fixed draws, a marker motion). A benchmark, not a test: it prints figures.
# Usage (after ./scripts/setup):
#   bench/measure-map.sh 3 32
#   BASELINE=../old/build/runner/homing-sim bench/measure-map.sh 1 32
#   MAP_SETTINGS="--draws 0.5" bench/measure-map.sh 2 32
set -euo pipefail
cd "$(dirname "$0")/.."
step=${1:-3} shots=${2:-32}
read -r -a settings <<< "${MAP_SETTINGS:-}"
sims=(build/runner/homing-sim)
[ -z "${BASELINE:-}" ] || sims=("$BASELINE" build/runner/homing-sim)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
places=$(( (299 / step + 1) * (299 / step + 1) ))
cores=$(nproc)
for threads in 1 "$cores"; do
  for n in "${!sims[@]}"; do
    /usr/bin/time -f "%e %M" -o "$work/time" "${sims[n]}" --map "$work/map$n-$threads.csv" --step "$step" --shots "$shots" \
      --threads "$threads" "${settings[@]}"
    read -r seconds kilobytes < "$work/time"
    echo "$n $threads $seconds $kilobytes" >> "$work/runs"
  done
done
# Every map the same bytes: each build's on one thread and on every core.
for map in "$work"/map*.csv; do
  if ! cmp -s "$work/map0-1.csv" "$map"; then
    echo "measure-map: $(basename "$map") differs from the first build's map on one thread" >&2
    exit 1
  fi
done
# Shot-frames flown: each caught shot's frames from the table's means, and an
# expired shot's whole life (500 frames) for each one not caught.
# (Rows of places only: not the line saying what made the map, nor the header.)
shot_frames=$(awk -F, '$1 ~ /^[0-9]+$/ { n += ($8 == "" ? 0 : $8 * $5) + ($4 - $5) * 500 } END { printf "%.0f", n }' \
  "$work/map0-1.csv")
methods=$(awk -F, '$1 ~ /^[0-9]+$/ { seen[$3] = 1 } END { print length(seen) }' "$work/map0-1.csv")
awk -v places="$places" -v methods="$methods" -v shots="$shots" -v frames="$shot_frames" -v builds="${#sims[@]}" '
  { b[NR] = $1; t[NR] = $2; s[NR] = $3; m[NR] = $4; key = $1 " " $2; secs[key] = $3 }
  END {
    n = places * methods * shots
    printf "%d places x %d methods x %d shots = %d shots, about %.0f shot-frames\n", places, methods, shots, n, frames
    for (i = 1; i <= NR; ++i)
      printf "%-8s %2d thread(s): %7.2f s, %9.0f shots and %6.1f million shot-frames a second, %5.1f ns a shot-frame a thread, peak memory %.0f MB\n",
        (builds > 1 && b[i] == 0 ? "baseline" : "this"), t[i], s[i], n / s[i], frames / s[i] / 1e6,
        s[i] * t[i] * 1e9 / frames, m[i] / 1024
    last = builds - 1
    printf "speed-up of this build on %d cores: %.2f\n", t[NR], secs[last " 1"] / secs[last " " t[NR]]
    if (builds > 1)
      printf "this build against the baseline: %.2f times as fast on one thread, %.2f on %d\n",
        secs["0 1"] / secs["1 1"], secs["0 " t[NR]] / secs["1 " t[NR]], t[NR] }' "$work/runs"
