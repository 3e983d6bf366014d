#!/usr/bin/env bash
# bad_session_files.sh HOMING: --record, --trace and --replay with files that
# cannot be used: one line naming the file, exit status 2, no window, and no
# file touched.
set -euo pipefail
homing=$1
work=$(mktemp -d)
chmod 755 "$work"
trap 'rm -rf "$work"' EXIT
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
expect "$work/bad.txt line 2: mode must be 0 to 5, got 9" "$homing" --replay "$work/bad.txt"
# Input that never ends is refused at once, in bounded memory.
expect "/dev/zero line 1: longer than 4096 bytes" "$homing" --replay /dev/zero

# One file named twice, however it is spelled, would be destroyed by the session.
ln -s keep.txt "$work/link.txt"
expect "--replay and --record name the same file, $work/link.txt: give each its own" \
  "$homing" --replay "$work/keep.txt" --record "$work/link.txt"
expect "--record and --trace name the same file, $work/locked/../new.csv: give each its own" \
  "$homing" --record "$work/new.csv" --trace "$work/locked/../new.csv"
# Every file is checked before any is opened: the recording is left whole.
expect "cannot write /nonexistent/x.csv: No such file or directory" \
  "$homing" --record "$work/keep.txt" --trace /nonexistent/x.csv
[ "$(cat "$work/keep.txt")" = "$(printf 'keep\nthese lines')" ] || { echo "FAIL: keep.txt was touched"; exit 1; }
[ ! -e "$work/new.csv" ] || { echo "FAIL: new.csv was made"; exit 1; }

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
