#!/usr/bin/env bash
# A storm of real input on the real window (run under xvfb-run) at about 200
# events a second for SECONDS: pointer moves in and out of the playfield, drags
# outside it, left, right and middle presses, the option buttons and check
# boxes, Tab and arrow keys, and the window unmapped and mapped again (exposes).
# Then a close: no crash, exit 0, and resident memory after SECONDS within 2 MB
# of its value at a sixth of the run.
# Usage: window_storm.sh HOMING WM-CLOSE SECONDS
set -euo pipefail
homing=$1 wm_close=$2 seconds=${3:-60}
work=$(mktemp -d)
source "$(dirname "$0")/window_helpers.sh"
make_runtime_dir "$work"
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$homing" > "$work/out.txt" 2>&1 &
pid=$!
find_window || fail "the window never appeared"
# Away from the screen's corner, so every pointer position is on the screen.
xdotool windowmove --sync "$window" 100 100
find_window

rss() { awk '/VmRSS/ { print $2 }' "/proc/$pid/status"; }
RANDOM=42
# One second of storm: about 200 events from one xdotool process, 4 ms apart;
# the keys of that second go last ('key' takes the rest of the command line).
second() {
  local commands=() keys=() n
  for n in $(seq 200); do
    local x=$((X + RANDOM % 560 - 20)) y=$((Y + RANDOM % 360 - 20))
    case $((RANDOM % 20)) in
      0) commands+=(mousemove $((X + 10 + RANDOM % 300)) $((Y + 10 + RANDOM % 300)) mousedown 1
                    mousemove $((X - 40)) $((Y + 400)) mouseup 1) ;;              # a drag out of the playfield
      1) commands+=(mousemove $((X + 10 + RANDOM % 300)) $((Y + 10 + RANDOM % 300)) mousedown $((b = 1 + RANDOM % 3)) mouseup $b) ;;
      2) commands+=(mousemove $((X + 330)) $((Y + 112 + 24 * (RANDOM % 6))) mousedown 1 mouseup 1) ;;  # an option button
      3) commands+=(mousemove $((X + 330)) $((Y + 268 + 24 * (RANDOM % 2))) mousedown 1 mouseup 1) ;;  # a check box
      4) keys+=(Tab) ;;
      5) keys+=($([ $((RANDOM % 2)) = 0 ] && echo Down || echo Up) space) ;;
      *) commands+=(mousemove "$x" "$y") ;;
    esac
    commands+=(sleep 0.004)
  done
  commands+=(mousemove $((X + 200)) $((Y + 150)))   # keys go to the window under the pointer
  xdotool "${commands[@]}" key --delay 5 "${keys[@]:-Tab}" || true
}

early=""
for s in $(seq "$seconds"); do
  second
  if [ $((s % 10)) = 0 ]; then   # exposes: the window unmapped and shown again
    xdotool windowunmap "$window" windowmap "$window" 2>/dev/null || true
  fi
  kill -0 "$pid" 2>/dev/null || fail "the program died after $s seconds of input"
  [ "$s" -eq $((seconds / 6 > 0 ? seconds / 6 : 1)) ] && early=$(rss)
done
late=$(rss)
echo "resident memory: $early kB after $((seconds / 6)) s, $late kB after $seconds s"
if [ -z "${ASAN_OPTIONS:-}" ]; then
  [ $((late - early)) -le 2048 ] || fail "resident memory grew by $((late - early)) kB"
fi

"$wm_close" "$window"
for _ in $(seq 20); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "still running two seconds after the close request"
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || fail "exit status $status"
[ ! -s "$work/out.txt" ] || fail "it printed: $(head -c 300 "$work/out.txt")"
echo "window storm: ok"
