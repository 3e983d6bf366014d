#!/usr/bin/env bash
# measure-memory.sh [HOMING_SIM]: peak resident memory (and time) of homing-sim
# on inputs that once made it grow: long scripts, long trails, long
# comparisons, long traces. Prints one Markdown table row per case.
set -euo pipefail
sim=$(realpath "${1:-build/runner/homing-sim}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

yes limit | head -n $(((100 << 20) / 6)) > limit.txt || true # yes ends on the closed pipe
yes 'move 12.5 40' | head -n $(((100 << 20) / 13)) > move.txt || true
printf 'seed 1\nmode 2\nmove 150 190\nframes 3000000\ntrail trail.png\n' > trail.txt
printf 'seed 1\nmove 200 100\nframes 1000000\n' > compare.txt
printf 'seed 1\nmode 3\nmove 40 260\nframes 10000000\n' > trace.txt

measure() { # LABEL ARGS...
  local label=$1
  shift
  /usr/bin/time -f '%M %e' -o stats "$sim" "$@" > /dev/null
  read -r kilobytes seconds < stats
  printf '| %s | %d MB | %s s |\n' "$label" $(((kilobytes + 1023) / 1024)) "$seconds"
}

echo '| case | peak RSS | time |'
echo '|---|---|---|'
measure '100 MB script of `limit` lines' limit.txt
measure '100 MB script of `move` lines' move.txt
measure '`trail` with 3,000,000 frames' trail.txt
measure '`--compare` with 1,000,000 frames' --compare compare.png compare.txt
measure 'plain trace, 10,000,000 frames' trace.txt
