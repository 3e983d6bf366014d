#!/usr/bin/env bash
# measure-window.sh [SECONDS] [ROUNDS]: the real window beside minimal
# programs that do the same job at the same pace (bench/floor/: a Qt widget, a
# Qt window with its own backing store, raw xcb with shared memory), all at
# once, each on an Xvfb of its own with the pointer circling over it; the
# order they start in rotates each round. Prints, per program, the medians
# over the rounds of its processor share, its X server's share and its context
# switches a second (all threads), and each as a ratio to the minimal Qt
# widget. A benchmark, not a test: it prints figures.
# BASELINE=path/to/an/other/homing-measure adds an earlier build's window.
# Usage: bench/measure-window.sh [SECONDS] [ROUNDS]   (after ./scripts/setup)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20} rounds=${2:-3}
bench=$PWD/build/bench
names=(qwidget qwindow xcb window)
commands=("$bench/floor-qwidget" "$bench/floor-qwindow" "$bench/floor-xcb" "$bench/homing-measure")
titles=(floor floor floor '追尾ミサイルサンプル')
if [ -n "${BASELINE:-}" ]; then
  names+=(baseline) commands+=("$(realpath "$BASELINE")") titles+=('追尾ミサイルサンプル')
fi
count=${#names[@]}
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
source tests/window_helpers.sh
make_runtime_dir "$work"

# Processor time (ns) and context switches of a process and all its threads.
ticks() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ n += $1 } END { printf "%d\n", n }'; }
switches() { cat /proc/"$1"/task/*/status 2>/dev/null | awk '/ctxt_switches/ { n += $2 } END { print n }'; }

# The pointer circles the playfield, 25 moves a second, while `pid` runs.
circle() {
  while kill -0 "$1" 2>/dev/null; do circle_once "$2" "$3"; done
}

for round in $(seq "$rounds"); do
  servers=() programs=() displays=()
  for slot in $(seq 0 $((count - 1))); do
    n=$(((slot + round - 1) % count)) # the order rotates each round
    exec 3> "$work/display$n"
    Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp -noreset > /dev/null 2>&1 &
    servers[n]=$! pids+=($!)
    exec 3>&-
    until [ -s "$work/display$n" ]; do sleep 0.05; done
    displays[n]=:$(head -n 1 "$work/display$n")
    DISPLAY=${displays[n]} "${commands[n]}" $((seconds + 6)) > "$work/out$n" 2>&1 &
    programs[n]=$! pids+=($!)
  done
  for n in $(seq 0 $((count - 1))); do
    export DISPLAY=${displays[n]}
    window=$(xdotool search --sync --name "${titles[n]}" | head -n 1)
    eval "$(xdotool getwindowgeometry --shell "$window")"
    circle "${programs[n]}" "$X" "$Y" &
    pids+=($!)
  done
  sleep 2 # start-up is left out
  for n in $(seq 0 $((count - 1))); do
    before[n]="$(ticks "${programs[n]}") $(ticks "${servers[n]}") $(switches "${programs[n]}")"
  done
  start=$(date +%s.%N)
  sleep "$seconds"
  elapsed=$(awk -v s="$start" -v e="$(date +%s.%N)" 'BEGIN { print e - s }')
  for n in $(seq 0 $((count - 1))); do
    read -r own0 server0 switch0 <<< "${before[n]}"
    own1=$(ticks "${programs[n]}") server1=$(ticks "${servers[n]}") switch1=$(switches "${programs[n]}")
    awk -v t="$elapsed" -v p=$((own1 - own0)) -v x=$((server1 - server0)) \
      -v c=$((switch1 - switch0)) -v name="${names[n]}" \
      'BEGIN { printf "%s %.3f %.3f %.1f\n", name, 100 * p / 1e9 / t, 100 * x / 1e9 / t, c / t }' >> "$work/figures"
  done
  for n in $(seq 0 $((count - 1))); do wait "${programs[n]}" || true; done
  for n in $(seq 0 $((count - 1))); do kill "${servers[n]}" 2>/dev/null || true; done
  wait 2>/dev/null || true
  pids=()
  spacing=$(grep -h 'frame spacing' "$work/out3" || true)
  echo "round $round of $rounds done; the window's ${spacing:-frame spacing: not printed}"
done

echo "medians of $rounds rounds of $seconds s; ratios to the minimal Qt widget"
awk '
  { cpu[$1] = cpu[$1] " " $2; server[$1] = server[$1] " " $3; sw[$1] = sw[$1] " " $4; if (!($1 in seen)) { seen[$1] = 1; order[++n] = $1 } }
  function median(list,   v, k, i, j, t) {
    k = split(list, v, " ")
    for (i = 1; i <= k; ++i) for (j = i + 1; j <= k; ++j) if (v[j] + 0 < v[i] + 0) { t = v[i]; v[i] = v[j]; v[j] = t }
    return k % 2 ? v[(k + 1) / 2] : (v[k / 2] + v[k / 2 + 1]) / 2
  }
  END {
    c0 = median(cpu["qwidget"]); x0 = median(server["qwidget"]); s0 = median(sw["qwidget"])
    printf "%-9s %9s %9s %11s   %6s %6s %9s\n", "program", "CPU %", "X srv %", "switches/s", "CPU", "X srv", "switches"
    for (i = 1; i <= n; ++i) {
      p = order[i]; c = median(cpu[p]); x = median(server[p]); s = median(sw[p])
      printf "%-9s %9.2f %9.2f %11.1f   %6.2f %6.2f %9.2f\n", p, c, x, s, c / c0, x / x0, s / s0
    }
  }' "$work/figures"
