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
