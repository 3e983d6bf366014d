#!/usr/bin/env bash
# bad_session_files.sh HOMING: --record, --trace and --replay with files that
# cannot be used: one line naming the file, exit status 2, no window, and no
# file touched.
set -euo pipefail
homing=$1
work=$(mktemp -d)
chmod 755 "$work"
pid=
# Whatever ends this test (a check that fails included), the window it started goes too.
trap '[ -z "$pid" ] || kill -TERM "$pid" 2> /dev/null || true; rm -rf "$work"' EXIT
mkdir -m 700 "$work/runtime"
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$work/runtime
mkdir -m 555 "$work/locked"
printf 'frames 5\nmode 9\n' > "$work/bad.txt"
printf 'frames 5\n' > "$work/good.txt"
printf 'keep\nthese lines\n' > "$work/keep.txt"

expect() { # MESSAGE ARGUMENTS...
  local message=$1 status=0
  shift
  timeout 10 "$@" > /dev/null 2> "$work/err.txt" || status=$?
  [ "$status" = 2 ] || { echo "FAIL: $* ended with $status"; exit 1; }
  [ "$(cat "$work/err.txt")" = "homing: $message" ] || { echo "FAIL: $* said: $(cat "$work/err.txt")"; exit 1; }
}
expect "cannot write $work/missing/s.txt: No such file or directory" "$homing" --record "$work/missing/s.txt"
expect "cannot write $work: Is a directory" "$homing" --trace "$work"
expect "cannot open $work/none.txt: No such file or directory" "$homing" --replay "$work/none.txt"
expect "$work/bad.txt line 2: mode must be 0 to 8, got 9" "$homing" --replay "$work/bad.txt"
# Input that never ends is refused at once, in bounded memory.
expect "/dev/zero line 1: longer than 4096 bytes" "$homing" --replay /dev/zero

# One file named twice, however it is spelled, would be destroyed by the session.
ln -s keep.txt "$work/link.txt"
expect "--replay and --record name the same file, $work/link.txt: give each its own" \
  "$homing" --replay "$work/keep.txt" --record "$work/link.txt"
expect "--record and --trace name the same file, $work/locked/../new.csv: give each its own" \
  "$homing" --record "$work/new.csv" --trace "$work/locked/../new.csv"
# A dangling link leads to the file the other option names.
ln -s new.csv "$work/dangling.txt"
expect "--record and --trace name the same file, $work/new.csv: give each its own" \
  "$homing" --record "$work/dangling.txt" --trace "$work/new.csv"
# Nothing the window would pass over in silence.
expect "--record needs a FILE, got an empty name" "$homing" --record ""
expect "--record is given twice; a session takes one of each" "$homing" --record "$work/a.txt" --record "$work/b.txt"
expect "unexpected argument session.txt (the window takes --record, --trace and --replay; see --help)" \
  "$homing" session.txt
[ ! -e "$work/a.txt" ] && [ ! -e "$work/b.txt" ] || { echo "FAIL: a refused recording was made"; exit 1; }
# Every file is checked before any is opened: the recording is left whole.
expect "cannot write /nonexistent/x.csv: No such file or directory" \
  "$homing" --record "$work/keep.txt" --trace /nonexistent/x.csv
[ "$(cat "$work/keep.txt")" = "$(printf 'keep\nthese lines')" ] || { echo "FAIL: keep.txt was touched"; exit 1; }
[ ! -e "$work/new.csv" ] || { echo "FAIL: new.csv was made"; exit 1; }

# Met while the window runs, each said in one line: a file deleted while it
# is written, a replayed script cut short while it plays, a named pipe that
# has no reader yet.
said() { # PATTERN: waits up to ten seconds for the window to say a line that matches it
  for _ in $(seq 100); do
    grep -qx "homing: $1" "$work/err.txt" 2> /dev/null && return 0
    sleep 0.1
  done
  echo "FAIL: the window did not say: $1 (it said: $(cat "$work/err.txt"))"
  exit 1
}
running() { # ARGUMENTS...: the window in the background, its messages in err.txt
  : > "$work/err.txt"
  "$homing" "$@" 2> "$work/err.txt" &
  pid=$!
}
stop() { kill -TERM "$pid" 2> /dev/null || true; wait "$pid" || true; }
mkdir "$work/gone"
running --record "$work/gone/s.txt"
sleep 0.5
rm -rf "$work/gone"
said "$work/gone/s.txt was deleted while the session wrote it: the recording is lost"
stop
{ echo 'seed 1'; for _ in $(seq 2000); do printf 'move 10 20\nframes 1\n'; done; } > "$work/long.txt"
running --replay "$work/long.txt"
sleep 0.5
truncate -s 1000 "$work/long.txt"
said "$work/long.txt changed while it was read, at line [0-9]*"
stop
mkfifo "$work/pipe.txt"
running --record "$work/pipe.txt"
said "waiting for a reader of the named pipe $work/pipe.txt"
stop
running --replay "$work/pipe.txt"
said "waiting for a writer on the named pipe $work/pipe.txt"
stop

# Without permission (root may write anywhere, so drop to nobody for this one,
# running a copy of the program where nobody can reach it, wherever the build is).
as_user=()
if [ "$(id -u)" = 0 ]; then
  cp "$homing" "$work/homing"
  chmod 755 "$work/homing"
  homing=$work/homing
  as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups env XDG_RUNTIME_DIR="$work/nobody")
  mkdir -m 700 "$work/nobody" && chown 65534:65534 "$work/nobody"
fi
expect "cannot write $work/locked/s.txt: Permission denied" "${as_user[@]}" "$homing" --record "$work/locked/s.txt"
echo "every bad file: one line and exit status 2"
