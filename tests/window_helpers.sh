# Shared by the scripts that drive the real window under Xvfb; source it.

# A desktop session has a private runtime folder; without one Qt warns.
make_runtime_dir() {
  export XDG_RUNTIME_DIR="$1/runtime"
  mkdir -p -m 700 "$XDG_RUNTIME_DIR"
}

# Waits for the main window to appear and sets `window` to its id, and X and Y
# to its position on the screen; false after 10 seconds without it.
find_window() {
  window=""
  for _ in $(seq 100); do
    window=$(xdotool search --name '追尾ミサイルサンプル' 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || return 1
  eval "$(xdotool getwindowgeometry --shell "$window")"
}

# One second of the pointer circling the playfield of a window whose corner is
# at (X0, Y0): 25 moves, one xdotool process. Usage: circle_once X0 Y0
circle_once() {
  local x0=$1 y0=$2 moves=() step x y
  for step in $(seq 0 24); do
    read -r x y < <(awk -v s="$step" 'BEGIN { a = s * 6.2832 / 25; printf "%d %d\n", 160 + 90 * cos(a), 160 + 90 * sin(a) }')
    moves+=(mousemove $((x0 + x)) $((y0 + y)) sleep 0.04)
  done
  xdotool "${moves[@]}" 2> /dev/null || true
}
