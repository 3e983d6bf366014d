#!/usr/bin/env bash
# wayland_weston.sh HOMING HOMING-MEASURE HOMING-SIM: the program as a native Wayland
# client of weston's headless backend, on a socket of its own. Under the
# desktop shell it must choose the Wayland plugin by itself, commit frames at
# pace and end on SIGTERM; under the kiosk shell, which holds back frame
# callbacks, its frame loop must still run at pace. When the compositor dies,
# its recording and trace are finished (Qt ends the program from its own
# event thread) and still replay to each other, exit status 1.
set -euo pipefail
homing=$1 measure=$2 sim=$3
work=$(mktemp -d)
chmod 700 "$work"
export XDG_RUNTIME_DIR=$work
unset DISPLAY QT_QPA_PLATFORM
compositor=""
pid=""
trap 'kill $pid $compositor 2>/dev/null || true; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

start_weston() { # SHELL SOCKET
  weston --backend=headless-backend.so --shell="$1" --socket="$2" --idle-time=0 > "$work/weston-$2.log" 2>&1 &
  compositor="$compositor $!"
  for _ in $(seq 100); do [ -S "$work/$2" ] && return 0; sleep 0.05; done
  fail "weston ($1) did not start: $(tail -3 "$work/weston-$2.log")"
}

start_weston desktop-shell.so desktop
WAYLAND_DISPLAY=desktop WAYLAND_DEBUG=client "$homing" 2> "$work/client.log" &
pid=$!
sleep 4 # start-up included: at pace that is about 140 commits
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
[ "$status" = 143 ] || fail "SIGTERM did not end it (exit status $status)"
grep -q 'xdg_toplevel@[0-9]*\.set_title' "$work/client.log" || fail "no native Wayland window"
commits=$(grep -c 'wl_surface@[0-9]*\.commit()' "$work/client.log" || true)
echo "desktop shell: $commits surface commits in 4 s"
((commits >= 75)) || fail "too few frames reached the compositor"

start_weston kiosk-shell.so kiosk
WAYLAND_DISPLAY=kiosk "$measure" 3 > "$work/kiosk.txt" 2>&1 || true
read -r rate < <(sed -n 's/^frames run .*(\([0-9.]*\) a second)$/\1/p' "$work/kiosk.txt")
echo "kiosk shell: ${rate:-no} frames run a second"
awk -v r="${rate:-0}" 'BEGIN { exit !(r >= 35) }' || fail "the frame loop waited on the compositor: $(cat "$work/kiosk.txt")"

start_weston desktop-shell.so lost
lost=${compositor##* }
WAYLAND_DISPLAY=lost "$homing" --record "$work/lost.txt" --trace "$work/lost.csv" 2> "$work/lost.log" &
pid=$!
for _ in $(seq 100); do [ "$(wc -l < "$work/lost.csv" 2> /dev/null || echo 0)" -gt 20 ] && break; sleep 0.1; done
kill -KILL "$lost"
status=0
wait "$pid" || status=$?
[ "$status" = 1 ] || fail "a lost compositor: exit status $status"
"$sim" "$work/lost.txt" | cmp -s - "$work/lost.csv" || fail "a lost compositor: the recording and the trace disagree"
echo "lost compositor: both files finished"
