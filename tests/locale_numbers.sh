#!/usr/bin/env bash
# locale_numbers.sh HOMING HOMING-SIM: the script language and every number
# printed are the same in a comma-decimal locale as in C. A script with
# decimals gives the same comparison table and picture, the same map and the
# same trace in homing-sim, and the same trace replayed in the window.
set -euo pipefail
homing=$1 sim=$2
work=$(mktemp -d)
pid=""
trap 'kill -KILL $pid 2>/dev/null || true; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# A German locale made for the test, whatever the machine has installed.
localedef -i de_DE -f UTF-8 "$work/de_DE.UTF-8" 2> /dev/null || fail "localedef could not make de_DE.UTF-8"
german=(env LOCPATH="$work" LC_ALL=de_DE.UTF-8)
[ "$("${german[@]}" printf '%.1f' 2.5 2> /dev/null)" = "2,5" ] || fail "the test locale does not write 2,5"

printf 'seed 3\nmove 132.5 150.75\nframes 200\nmode 3\nmove 40.25 260.5\nframes 150\n' > "$work/s.txt"
frames=350
for locale in C german; do
  run=(env LC_ALL=C)
  [ "$locale" = C ] || run=("${german[@]}")
  "${run[@]}" "$sim" "$work/s.txt" > "$work/trace-$locale.csv"
  "${run[@]}" "$sim" --compare "$work/compare-$locale.png" "$work/s.txt" > "$work/table-$locale.txt"
  "${run[@]}" "$sim" --map "$work/map-$locale.csv" --step 75 --draws 0.25 --marker-velocity 0.5 -0.25 --threads 1
done
for output in trace-C.csv table-C.txt compare-C.png map-C.csv; do
  cmp -s "$work/$output" "$work/${output/-C/-german}" || fail "homing-sim's ${output%-C*} differs in a comma-decimal locale"
done
grep -q '\.5' "$work/table-C.txt" || fail "the table holds no decimal to compare"

# The window, replaying the script in the same locale, traces what homing-sim traced.
mkdir -m 700 "$work/runtime"
"${german[@]}" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen \
  "$homing" --replay "$work/s.txt" --trace "$work/window.csv" 2> "$work/err.txt" &
pid=$!
replayed() { awk -F, -v last="$frames" 'NR > 1 && $1 >= last { found = 1 } END { exit !found }' "$work/window.csv" 2> /dev/null; }
for _ in $(seq 600); do replayed && break; sleep 0.1; done
replayed || fail "the replay did not reach frame $frames within a minute: $(cat "$work/err.txt")"
kill -TERM $pid
wait $pid || true
pid=""
awk -F, -v last="$frames" 'NR == 1 || $1 <= last' "$work/window.csv" > "$work/window-part.csv"
cmp -s "$work/window-part.csv" "$work/trace-C.csv" || fail "the window's replay in a comma-decimal locale differs"
echo "traces, table, picture and map the same in de_DE.UTF-8 as in C, in homing-sim and the window"
