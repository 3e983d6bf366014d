#!/bin/sh
# maps_unchanged.sh HOMING_SIM: capture maps are the same bytes as the build
# before the map's fast paths made them (fixed draws flown once, shots in
# vector lanes): each line of maps_unchanged.txt is a map's settings and the
# SHA-256 of its CSV after the line that says what made it.
set -eu
sim=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
while IFS='|' read -r settings expected; do
  case $settings in '#'* | '') continue ;; esac
  # shellcheck disable=SC2086 # the settings are words
  "$sim" --map "$work/map.csv" $settings
  got=$(tail -n +2 "$work/map.csv" | sha256sum | cut -d' ' -f1)
  if [ "$got" != "$expected" ]; then
    echo "maps_unchanged: the map with $settings has other bytes than before" >&2
    status=1
  fi
done < "$(dirname "$0")/maps_unchanged.txt"
[ "$status" -ne 0 ] || echo "maps_unchanged: every map the same bytes as before"
exit "$status"
