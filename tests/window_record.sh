#!/usr/bin/env bash
# window_record.sh HOMING HOMING-SIM WM-CLOSE (under xvfb-run): a session in
# the real window, recorded and traced, must replay in homing-sim to the same
# trace byte for byte; replayed in the window, its trace must begin with it.
set -euo pipefail
homing=$1 sim=$2 wm_close=$3
work=$(mktemp -d)
pid=""
trap 'kill $pid 2>/dev/null || true; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
source "$(dirname "$0")/window_helpers.sh"
make_runtime_dir "$work"
at() { echo $((X + 10 + $1)) $((Y + 10 + $2)); }            # playfield pixel on the screen
option() { echo $((X + 330)) $((Y + 112 + 24 * $1)); }     # option button Index
close_window() { "$wm_close" "$window"; wait "$pid" || fail "the window exited with status $?"; pid=""; }

"$homing" --record "$work/session.txt" --trace "$work/window.csv" 2> "$work/err.txt" &
pid=$!
find_window || fail "the window never appeared"
# About five seconds of everything a user does: moves, drags out of the
# playfield and back, right and middle clicks, mode changes (one onto the
# mode already selected) and both check boxes.
for round in 1 2; do
  xdotool mousemove $(at 40 60) sleep 0.3 mousemove $(at 250 90) sleep 0.3
  xdotool mousedown 1 mousemove $(at 330 150) sleep 0.2 mousemove $(at 150 -40) sleep 0.2 mousemove $(at 120 200) mouseup 1
  xdotool mousemove $(option $((round + 1))) click 1 sleep 0.2 mousemove $(at 200 200) sleep 0.4
  xdotool click 3 sleep 0.2 mousemove $(at 60 220) click 2 sleep 0.3
  xdotool mousemove $(option $((round + 1))) click 1 sleep 0.1 # already selected: nothing happens
  xdotool mousemove $((X + 330)) $((Y + 268)) click 1 sleep 0.2 mousemove $((X + 330)) $((Y + 292)) click 1
  xdotool mousemove $(at 180 120) sleep 0.4
done
close_window
[ ! -s "$work/err.txt" ] || fail "the window said: $(cat "$work/err.txt")"
head -n 2 "$work/session.txt" | grep -q '^seed [0-9]*$' || fail "the recording does not start with its seed"
grep -q '^mode 3$' "$work/session.txt" || fail "no mode change recorded"
grep -q '^move [0-9.]* -' "$work/session.txt" || fail "no drag above the playfield recorded"
frames=$(awk '$1 == "frames" { n += $2 } END { print n + 0 }' "$work/session.txt")
((frames > 100)) || fail "only $frames frames recorded"

"$sim" "$work/session.txt" > "$work/sim.csv" || fail "homing-sim refused the recording"
cmp "$work/window.csv" "$work/sim.csv" || fail "homing-sim's trace of the recording differs from the window's"

# The recording played back in the window: live input is ignored meanwhile.
"$homing" --replay "$work/session.txt" --trace "$work/replay.csv" 2> "$work/err.txt" &
pid=$!
find_window || fail "the replaying window never appeared"
xdotool mousemove $(at 5 5) click 3
# Wait for the replay's last frame to reach the trace (flushed every second),
# however slowly a loaded machine runs it.
replayed() { awk -F, -v last="$frames" 'NR > 1 && $1 >= last { found = 1 } END { exit !found }' "$work/replay.csv" 2> /dev/null; }
for _ in $(seq 600); do replayed && break; sleep 0.1; done
replayed || fail "the replay did not reach frame $frames within a minute"
close_window
awk -F, -v last="$frames" 'NR == 1 || $1 <= last' "$work/replay.csv" > "$work/replay-part.csv"
cmp "$work/replay-part.csv" "$work/sim.csv" || fail "the replay's trace differs from homing-sim's"
echo "recorded $frames frames; homing-sim and the replay reproduce the window's trace"
