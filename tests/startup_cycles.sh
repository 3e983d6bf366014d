#!/usr/bin/env bash
# startup_cycles.sh HOMING CYCLES: starts and stops the program CYCLES times on
# a bare X server (without -noreset, so it resets whenever its last client
# leaves); every start must bring the window up and end only by our SIGTERM,
# never by an abort or a "no display".
set -euo pipefail
homing=$1 cycles=$2
work=$(mktemp -d)
exec 3> "$work/display"
Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp > "$work/xvfb.log" 2>&1 &
server=$!
pid=""
trap 'kill $pid "$server" 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -n 1 "$work/display") XDG_RUNTIME_DIR=$work
unset WAYLAND_DISPLAY QT_QPA_PLATFORM

bad=0
for cycle in $(seq "$cycles"); do
  "$homing" 2> "$work/err.txt" &
  pid=$!
  sleep 0.4
  kill -TERM "$pid" 2>/dev/null || true
  status=0
  wait "$pid" || status=$?
  if [ "$status" != 143 ]; then
    bad=$((bad + 1))
    echo "cycle $cycle: exit status $status: $(head -c 300 "$work/err.txt")"
  fi
done
echo "start-up cycles: $((cycles - bad)) passed, $bad failed"
((bad == 0))
