#!/usr/bin/env bash
# wayland_screenshot.sh HOMING HOMING-SIM: the window as a native client of a
# headless weston (--debug, for its screenshooter) plays a script whose shots
# fly and are then all caught, so that its playfield holds still; the
# compositor's picture of the screen must then hold the playfield's own image
# (homing-sim's png of the script) pixel for pixel, put there through the
# window's subsurface, and again after another window has covered it and gone.
set -euo pipefail
homing=$1 sim=$2
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
chmod 700 "$work"
export XDG_RUNTIME_DIR=$work
unset DISPLAY QT_QPA_PLATFORM
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

weston --backend=headless-backend.so --shell=desktop-shell.so --socket=shot --idle-time=0 --debug --use-pixman \
  > "$work/weston.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -S "$work/shot" ] && break; sleep 0.05; done
[ -S "$work/shot" ] || fail "weston did not start: $(tail -3 "$work/weston.log")"
export WAYLAND_DISPLAY=shot

# Shots chase a marker in a corner, then it stands on the launcher, where
# every shot is caught as it is launched: still after about 4 s at the window's pace.
printf 'seed 3\nmode 1\nmove 110 110\nframes 60\nmove 150 150\nframes 100\n' > "$work/script.txt"
{ cat "$work/script.txt"; echo "png $work/expected.png"; } > "$work/pictured.txt"
"$sim" "$work/pictured.txt" > /dev/null
convert "$work/expected.png" -depth 8 "rgb:$work/expected.rgb"
WAYLAND_DEBUG=client "$homing" --replay "$work/script.txt" 2> "$work/client.log" &
pids+=($!)
sleep 7

shows_playfield() { # WHEN
  rm -f "$work"/wayland-screenshot*.png
  (cd "$work" && weston-screenshooter > /dev/null 2>&1) || fail "weston-screenshooter failed"
  local shot
  shot=$(ls "$work"/wayland-screenshot*.png)
  convert "$shot" -depth 8 "rgb:$work/screen.rgb"
  at=$(node "$here/find_picture.mjs" "$work/screen.rgb" "$(identify -format %w "$shot")" "$work/expected.rgb" 300) ||
    { cp "$shot" "${TMPDIR:-/tmp}/homing-wayland-screen.png"; fail "$1: the playfield is not on the screen" \
      "(the screen is in ${TMPDIR:-/tmp}/homing-wayland-screen.png)"; }
  echo "$1: the playfield's own image at ($at) on the screen"
}
shows_playfield "after 160 frames"
grep -q 'wl_subsurface@[0-9]*\.set_desync()' "$work/client.log" || fail "the playfield was not put through a subsurface"

# Another window over it, then gone: the compositor shows the window's again.
weston-flower > /dev/null 2>&1 &
pids+=($!)
sleep 1
kill "${pids[-1]}"
sleep 0.5
shows_playfield "after another window came and went"
