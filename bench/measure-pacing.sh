#!/usr/bin/env bash
# Measures the real window for SECONDS (default 20) under Xvfb with the pointer
# circling over the playfield, so shots fly and are caught all the while: once
# with the X server's shared-memory images (a local display) and once without
# (as over `ssh -X`). Besides homing-measure's own figures it reports the bytes
# the program writes to the display each second and the X server's processor share.
# Usage: bench/measure-pacing.sh [SECONDS]   (after ./scripts/setup)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
if [ "${2:-}" != --on-display ]; then
  echo "== with MIT-SHM (a local display)"
  xvfb-run -a -s "-screen 0 800x600x24" "$0" "$seconds" --on-display
  echo "== without MIT-SHM (as over ssh -X)"
  exec xvfb-run -a -s "-screen 0 800x600x24 -extension MIT-SHM" "$0" "$seconds" --on-display
fi

source tests/window_helpers.sh
make_runtime_dir "$(mktemp -d)"
build/bench/homing-measure "$seconds" &
pid=$!
server=$(pgrep -f "^Xvfb $DISPLAY( |\$)" | head -n 1)
find_window

# Readings: wall clock (s), bytes the program has written, the server's and
# the program's processor ticks (so start-up is left out of the shares).
read_counters() {
  local io server_ticks own_ticks
  io=$(awk '/^wchar:/ { print $2 }' "/proc/$pid/io" 2>/dev/null) || return 1
  own_ticks=$(awk '{ print $14 + $15 }' "/proc/$pid/stat" 2>/dev/null) || return 1
  server_ticks=$(awk '{ print $14 + $15 }' "/proc/$server/stat")
  echo "$(date +%s.%N) $io $server_ticks $own_ticks"
}
first=$(read_counters)
last=$first
# The pointer circles the launcher, 25 moves a second, one xdotool process a second.
while kill -0 "$pid" 2>/dev/null; do
  circle_once "$X" "$Y"
  reading=$(read_counters) || break
  last=$reading
done
wait "$pid"
read -r t0 bytes0 server0 own0 <<< "$first"
read -r t1 bytes1 server1 own1 <<< "$last"
awk -v t0="$t0" -v t1="$t1" -v b=$((bytes1 - bytes0)) -v x=$((server1 - server0)) -v p=$((own1 - own0)) \
  -v hz="$(getconf CLK_TCK)" 'BEGIN {
  t = t1 - t0
  printf "written to the display  %.3f MB/s\n", b / t / 1e6
  printf "processor, running      %.2f %% of one core (after start-up)\n", 100 * p / hz / t
  printf "X server processor      %.2f %% of one core\n", 100 * x / hz / t }'
