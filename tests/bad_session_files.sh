#!/usr/bin/env bash
# bad_session_files.sh HOMING: --record, --trace and --replay with files that
# cannot be used: one line naming the file, exit status 2, no window.
set -euo pipefail
homing=$1
work=$(mktemp -d)
chmod 755 "$work"
trap 'rm -rf "$work"' EXIT
mkdir -m 700 "$work/runtime"
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$work/runtime
mkdir -m 555 "$work/locked"
printf 'frames 5\nmode 9\n' > "$work/bad.txt"

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
# Without permission (root may write anywhere, so drop to nobody for this one).
as_user=()
if [ "$(id -u)" = 0 ]; then
  as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups env XDG_RUNTIME_DIR="$work/nobody")
  mkdir -m 700 "$work/nobody" && chown 65534:65534 "$work/nobody"
fi
expect "cannot write $work/locked/s.txt: Permission denied" "${as_user[@]}" "$homing" --record "$work/locked/s.txt"
echo "every bad file: one line and exit status 2"
