#!/usr/bin/env bash
# Measures the real window for SECONDS (default 20) under Xvfb with the pointer
# circling over the playfield, so shots fly and are caught all the while.
# Usage: bench/measure-window.sh [SECONDS]   (after ./scripts/setup)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
if [ "${2:-}" != --on-display ]; then
  exec xvfb-run -a -s "-screen 0 800x600x24" "$0" "$seconds" --on-display
fi

source tests/window_helpers.sh
make_runtime_dir "$(mktemp -d)"
build/bench/homing-measure "$seconds" &
pid=$!
find_window
# The pointer circles the launcher, 25 moves a second, one xdotool process a second.
while kill -0 "$pid" 2>/dev/null; do
  moves=()
  for step in $(seq 0 24); do
    read -r x y < <(awk -v s="$step" 'BEGIN { a = s * 6.2832 / 25; printf "%d %d\n", 160 + 90 * cos(a), 160 + 90 * sin(a) }')
    moves+=(mousemove $((X + x)) $((Y + y)) sleep 0.04)
  done
  xdotool "${moves[@]}" 2>/dev/null || true
done
wait "$pid"
