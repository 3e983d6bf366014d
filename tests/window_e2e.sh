#!/usr/bin/env bash
# The real program in a real X server (run under xvfb-run), driven as a user
# would: pointer, clicks, the close button. Usage: window_e2e.sh HOMING WM-CLOSE
set -euo pipefail
homing=$1 wm_close=$2
work=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }
source "$(dirname "$0")/window_helpers.sh"
make_runtime_dir "$work"

"$homing" > "$work/out.txt" 2>&1 &
pid=$!
find_window || fail "the window never appeared"
sleep 0.3

# Screen position of playfield pixel (x, y): the client area, Picture1 at (8, 8), its 2-pixel border.
at() { echo $((X + 10 + $1)) $((Y + 10 + $2)); }
shot() { import -window root "$work/screen.png"; }
# Pixels of one colour in a w x h block whose top-left is playfield pixel (x, y).
count() {
  convert "$work/screen.png" -crop "$3x$4+$((X + 10 + $1))+$((Y + 10 + $2))" +repage -alpha off \
    -fill white +opaque "$5" -fill black -opaque "$5" -format '%[fx:round(w*h*(1-mean))]' info:
}

# Polls the screen until `$@` holds, for at most `tries` tenths of a second.
within() {
  local tries=$1; shift
  for _ in $(seq "$tries"); do
    shot
    "$@" && return 0
    sleep 0.1
  done
  return 1
}
marker_under_pointer() { [ "$(count 204 54 32 32 '#FFFF00')" -gt 400 ]; }
# Shots are black discs; the marker's eyes, smile and outline are black too.
shots_beside_marker() { echo $(($(count 0 0 300 300 '#000000') - $(count "$1" "$2" 32 32 '#000000'))); }
shots_in_flight() { [ "$(shots_beside_marker 204 54)" -gt 60 ]; }
playfield_clear() { [ "$(shots_beside_marker 134 134)" -lt 10 ]; }

# The marker follows the pointer: a yellow face centred under it.
xdotool mousemove $(at 220 70)
within 30 marker_under_pointer || fail "no marker under the pointer"

# Within half a second of the first launch, shots are in flight.
within 30 shots_in_flight || fail "no shot in flight"

# A right click on the launch point clears the playfield at the next frame.
# The shots in flight are more than 20 frames from the launch point, and new
# ones launched onto the marker are caught at once, so none may show.
xdotool mousemove $(at 150 150) click 3
within 10 playfield_clear || fail "shots left after a right click ($(shots_beside_marker 134 134) black pixels)"

# Another steering method, then the window manager's close request.
xdotool mousemove $((X + 330)) $((Y + 112 + 24 * 2)) click 1
sleep 0.3
kill -0 "$pid" 2>/dev/null || fail "the program died after an option click"
"$wm_close" "$window"
for _ in $(seq 100); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "still running 10 seconds after the close request"
true
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || fail "exit status $status"
[ ! -s "$work/out.txt" ] || fail "it printed: $(head -c 300 "$work/out.txt")"
echo "window end-to-end: ok"
