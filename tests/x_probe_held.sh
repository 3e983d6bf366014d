#!/usr/bin/env bash
# x_probe_held.sh HOMING (on an X server of its own): the program's check for
# a display stays connected until Qt has connected too (a bare X server resets
# when its last client leaves, and Qt would abort). A proxy in front of the
# server logs each connection's opening and closing: Qt's connection must
# open before the check's one closes.
set -euo pipefail
homing=$1
work=$(mktemp -d)
proxy="" claimed=""
trap 'kill $proxy 2>/dev/null || true; [ -z "$claimed" ] || rm -f "/tmp/.X11-unix/X$claimed" "/tmp/.X$claimed-lock"; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
source "$(dirname "$0")/window_helpers.sh"
make_runtime_dir "$work"

# A display number for the proxy, claimed with a lock file as X servers claim theirs.
for number in $(seq 200 299); do
  [ -e "/tmp/.X11-unix/X$number" ] && continue
  if (set -o noclobber; echo "$$" > "/tmp/.X$number-lock") 2> /dev/null; then
    claimed=$number
    break
  fi
done
[ -n "$claimed" ] || fail "no free display number for the proxy"
socat -d -d "UNIX-LISTEN:/tmp/.X11-unix/X$claimed,fork" "UNIX-CONNECT:/tmp/.X11-unix/X${DISPLAY#:}" 2> "$work/log" &
proxy=$!
for _ in $(seq 50); do [ -S "/tmp/.X11-unix/X$claimed" ] && break; sleep 0.1; done

# Shared-memory images pass a descriptor over the socket, which the proxy cannot carry.
DISPLAY=:$claimed QT_XCB_NO_MITSHM=1 "$homing" 2> "$work/err.txt" &
pid=$!
find_window || fail "the window never appeared: $(cat "$work/err.txt")"
kill -TERM "$pid"
wait "$pid" 2> /dev/null || true
# The first connection is the check's; the proxy's child for it logs the moment
# the program's side of it closes ("socket 1", the listening address, at EOF).
first_child=$(grep -m 1 -o 'forked off child process [0-9]*' "$work/log" | grep -o '[0-9]*$' || true)
second_accept=$(grep -n 'accepting connection' "$work/log" | sed -n 2p | cut -d: -f1)
first_end=$(grep -n "socat\[$first_child\] N socket 1 .* is at EOF" "$work/log" | head -n 1 | cut -d: -f1)
[ -n "$first_child" ] || fail "the proxy saw no connection: $(head -c 300 "$work/log")"
[ -n "$second_accept" ] || fail "Qt never connected through the proxy"
[ -n "$first_end" ] || fail "the display check's connection never closed"
((second_accept < first_end)) ||
  fail "the display check hung up (proxy log line $first_end) before Qt connected (line $second_accept)"
echo "the display check held its connection until Qt had connected"
