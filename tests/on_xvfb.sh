#!/usr/bin/env bash
# on_xvfb.sh COMMAND [ARGUMENTS...]: runs COMMAND on an X server of its own,
# on a display number the server picks itself (-displayfd), so tests that run
# at the same time never race for one; the server ends with the command. It
# does not reset when its last client leaves (-noreset), so one program after
# another never meets a server in the middle of a reset.
set -euo pipefail
work=$(mktemp -d)
exec 3> "$work/display"
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp -noreset > "$work/xvfb.log" 2>&1 &
server=$!
exec 3>&-
trap 'kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  kill -0 "$server" 2>/dev/null || { echo "on_xvfb: Xvfb did not start: $(tail -n 3 "$work/xvfb.log")" >&2; exit 1; }
  sleep 0.1
done
[ -s "$work/display" ] || { echo "on_xvfb: Xvfb named no display within 10 seconds" >&2; exit 1; }
export DISPLAY=:$(head -n 1 "$work/display")
status=0
"$@" || status=$?
exit "$status"
