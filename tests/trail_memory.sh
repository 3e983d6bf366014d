#!/usr/bin/env bash
# trail_memory.sh HOMING_SIM: a trail over 3,000,000 frames stays within 50 MB
# of resident memory (paths are drawn as shots end, not kept).
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf 'seed 1\nmode 2\nmove 150 190\nframes 3000000\ntrail %s/trail.png\n' "$work" > "$work/trail.txt"
/usr/bin/time -f '%M' -o "$work/peak" "$1" "$work/trail.txt" > /dev/null
peak=$(cat "$work/peak")
echo "peak resident memory: $peak kB"
((peak <= 50 * 1024))
