#!/usr/bin/env bash
# measure-wayland.sh [SECONDS] [ROUNDS]: the real window beside the minimal
# Qt programs that do the same job (bench/floor/: a QWidget, a QWindow with
# its own backing store), all native Wayland clients of one headless weston,
# started together, the order rotated each round. Prints, per program, the
# medians over the rounds of its processor share and context switches a
# second (all threads), and each as a ratio to the minimal Qt widget; and the
# compositor's share. A benchmark, not a test: it prints figures.
# BASELINE=path/to/an/other/homing-measure adds an earlier build's window.
# Usage: bench/measure-wayland.sh [SECONDS] [ROUNDS]   (after ./scripts/setup)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-15} rounds=${2:-3}
bench=$PWD/build/bench
names=(qwidget qwindow window)
commands=("$bench/floor-qwidget" "$bench/floor-qwindow" "$bench/homing-measure")
if [ -n "${BASELINE:-}" ]; then
  names+=(baseline) commands+=("$(realpath "$BASELINE")")
fi
count=${#names[@]}
work=$(mktemp -d)
chmod 700 "$work"
pids=() compositor=""
cleanup() {
  for pid in "${pids[@]}" $compositor; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_RUNTIME_DIR=$work
unset DISPLAY QT_QPA_PLATFORM

ticks() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ n += $1 } END { printf "%d\n", n }'; }
switches() { cat /proc/"$1"/task/*/status 2>/dev/null | awk '/ctxt_switches/ { n += $2 } END { print n }'; }

for round in $(seq "$rounds"); do
  weston --backend=headless-backend.so --shell=desktop-shell.so --socket=bench --idle-time=0 \
    > "$work/weston.log" 2>&1 &
  compositor=$!
  for _ in $(seq 100); do [ -S "$work/bench" ] && break; sleep 0.05; done
  pids=()
  for step in $(seq 0 $((count - 1))); do
    n=$(((step + round) % count))
    WAYLAND_DISPLAY=bench QT_QPA_PLATFORM=wayland "${commands[n]}" $((seconds + 4)) > "$work/out$n" 2>&1 &
    pids[n]=$!
  done
  sleep 2 # start-up left out
  for n in $(seq 0 $((count - 1))); do
    t0[n]=$(ticks "${pids[n]}") s0[n]=$(switches "${pids[n]}")
  done
  c0=$(ticks "$compositor")
  sleep "$seconds"
  for n in $(seq 0 $((count - 1))); do
    t1=$(ticks "${pids[n]}") s1=$(switches "${pids[n]}")
    echo "${names[n]} $(((t1 - t0[n]) / seconds)) $(((s1 - s0[n]) / seconds))" >> "$work/samples"
  done
  echo "weston $((($(ticks "$compositor") - c0) / seconds)) 0" >> "$work/samples"
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  kill "$compositor" 2>/dev/null || true
  wait "$compositor" 2>/dev/null || true
  compositor=""
done
awk '
  { cpu[$1, ++n[$1]] = $2 / 1e7; sw[$1, n[$1]] = $3; order[$1] = order[$1] ? order[$1] : ++names; name[names] = $1 }
  function median(a, key, count,    i, j, t, v) {
    for (i = 1; i <= count; ++i) v[i] = a[key, i]
    for (i = 1; i <= count; ++i) for (j = i + 1; j <= count; ++j) if (v[j] < v[i]) { t = v[i]; v[i] = v[j]; v[j] = t }
    return count % 2 ? v[(count + 1) / 2] : (v[count / 2] + v[count / 2 + 1]) / 2 }
  END {
    base = median(cpu, "qwidget", n["qwidget"]); baseSw = median(sw, "qwidget", n["qwidget"])
    printf "%-10s %12s %6s %12s %6s\n", "program", "processor", "ratio", "switches/s", "ratio"
    for (k = 1; k <= names; ++k) { p = name[k]; c = median(cpu, p, n[p]); s = median(sw, p, n[p])
      if (p == "weston") printf "%-10s %10.2f %% \n", p, c
      else printf "%-10s %10.2f %% %6.2f %12.0f %6.2f\n", p, c, c / base, s, s / baseSw } }' "$work/samples"
