#!/usr/bin/env bash
# window_endings.sh HOMING HOMING-SIM WM-CLOSE (on an X server of its own): however a
# recorded and traced session ends -- Ctrl+C, SIGTERM, SIGHUP, the window
# destroyed from outside, the X server gone, files that fill up -- the recording replays in
# homing-sim to the trace the window wrote, byte for byte, and the exit status
# says how it ended.
set -euo pipefail
homing=$1 sim=$2 wm_close=$3
work=$(mktemp -d)
pid=""
server=""
trap 'kill -KILL $pid $server 2>/dev/null || true; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
source "$(dirname "$0")/window_helpers.sh"
make_runtime_dir "$work"

# Waits up to ten seconds for a condition.
within_10s() {
  for _ in $(seq 100); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}
trace_on_disk() { [ "$(wc -l < "$work/window.csv")" -gt 20 ]; }
# Starts a recorded, traced session (SIGINT not ignored, as in a terminal) and
# moves the pointer over it.
start() {
  env --default-signal=INT "$homing" --record "$work/session.txt" --trace "$work/window.csv" 2> "$work/err.txt" &
  pid=$!
  find_window || fail "the window never appeared: $(cat "$work/err.txt")"
  xdotool mousemove $((X + 100)) $((Y + 120)) sleep 0.2 mousemove $((X + 200)) $((Y + 60))
}
# Starts a session and waits until its trace holds frames: both files are flushed every second.
start_and_trace() {
  start
  within_10s trace_on_disk || fail "no trace rows on disk while the window runs"
}
# Waits for the session to end; its exit status in `status`.
finish() {
  status=0
  { wait "$pid"; } 2> /dev/null || status=$? # no job notice for a session ended by its signal
  pid=""
}
replays() {
  "$sim" "$work/session.txt" > "$work/sim.csv" || fail "$1: homing-sim refused the recording"
  cmp -s "$work/window.csv" "$work/sim.csv" || fail "$1: the recording replays to another trace than the window's"
}

# While it runs, what is on disk already replays to a prefix of the trace.
start_and_trace
cp "$work/session.txt" "$work/early.txt"
"$sim" "$work/early.txt" > "$work/early.csv" || fail "homing-sim refused the recording taken while running"
kill -TERM "$pid"
finish
cmp -s -n "$(stat -c %s "$work/early.csv")" "$work/early.csv" "$work/window.csv" ||
  fail "the recording on disk while running is not a prefix of the session"

for signal in INT TERM HUP; do
  start_and_trace
  sleep 1.3 # frames after the last input, written only when the session ends
  kill -"$signal" "$pid"
  finish
  [ "$status" = $((128 + $(kill -l "$signal"))) ] || fail "SIG$signal: exit status $status"
  [ ! -s "$work/err.txt" ] || fail "SIG$signal: it said $(cat "$work/err.txt")"
  replays "SIG$signal"
done

start_and_trace
xdotool windowclose "$window"
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "still running 10 seconds after its window was destroyed"
finish
[ "$status" = 0 ] || fail "a destroyed window: exit status $status"
replays "a destroyed window"

# The X server goes away: Qt ends the program, and the files are finished first.
exec 4> "$work/display"
Xvfb -displayfd 4 -screen 0 640x480x24 -nolisten tcp > /dev/null 2>&1 &
server=$!
exec 4>&-
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
DISPLAY=:$(head -n 1 "$work/display") "$homing" --record "$work/session.txt" --trace "$work/window.csv" \
  2> "$work/err.txt" &
pid=$!
within_10s trace_on_disk || fail "no trace rows on disk on the second X server"
kill "$server"
finish
[ "$status" = 1 ] || fail "a lost X server: exit status $status"
replays "a lost X server"

# A replay with millions of commands between two frames still closes at once.
yes 'move 12.5 40' | head -n 3000000 > "$work/many.txt" || true
"$homing" --replay "$work/many.txt" 2> "$work/err.txt" &
pid=$!
find_window || fail "the replaying window never appeared"
"$wm_close" "$window"
for _ in $(seq 20); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "a replay of many commands held off a close for 2 seconds"
finish
[ "$status" = 0 ] || fail "a long replay closed: exit status $status"
rm "$work/many.txt"

# Both files fill up (a file-size limit of 1 KiB): each failure is named, the
# exit status is 1, and the files hold whole lines that still replay.
both_failed() { [ "$(grep -c '^homing: cannot write the .*: File too large$' "$work/err.txt")" = 2 ]; }
(
  ulimit -f 1
  export QT_XCB_NO_MITSHM=1 # Qt's shared-memory images are files too, and would not fit
  start
  for n in $(seq 120); do xdotool mousemove $((X + 20 + n)) $((Y + 40)); done
  within_10s both_failed || fail "a full disk: not both failures told: $(cat "$work/err.txt")"
  "$wm_close" "$window"
  finish
  [ "$status" = 1 ] || fail "a full disk: exit status $status"
)
grep -qx "homing: cannot write the recording: File too large" "$work/err.txt" || fail "the recording's failure unnamed"
grep -qx "homing: cannot write the trace: File too large" "$work/err.txt" || fail "the trace's failure unnamed"
[ "$(tail -c 1 "$work/session.txt" | od -An -c | tr -d ' ')" = '\n' ] || fail "the recording ends inside a line"
"$sim" "$work/session.txt" > /dev/null || fail "homing-sim refused the recording cut short by a full disk"
echo "every ending finished both files"
