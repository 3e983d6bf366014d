#!/bin/sh
# maps_unchanged.sh [--stdout | --update] HOMING_SIM: capture maps are the same
# bytes as the build before the map's fast paths made them (fixed draws flown
# once, shots in vector lanes): each line of maps_unchanged.txt is a map's
# settings and the SHA-256 of its CSV after the line that says what made it.
# With --stdout, HOMING_SIM writes the map to its standard output (--map -),
# as the WebAssembly runner does; with --update, the sums HOMING_SIM gives are
# written into maps_unchanged.txt (when the maps were meant to change).
set -eu
stdout=false update=false
case ${1:-} in
--stdout) stdout=true; shift ;;
--update) update=true; shift ;;
esac
sim=${1:?usage: maps_unchanged.sh [--stdout | --update] HOMING_SIM}
list="$(dirname "$0")/maps_unchanged.txt"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
while IFS='|' read -r settings expected; do
  case $settings in '#'* | '') continue ;; esac
  # shellcheck disable=SC2086 # the settings are words
  if $stdout; then
    "$sim" --map - $settings < /dev/null > "$work/map.csv"
  else
    "$sim" --map "$work/map.csv" $settings < /dev/null
  fi
  got=$(tail -n +2 "$work/map.csv" | sha256sum | cut -d' ' -f1)
  if $update; then
    echo "$settings|$got" >> "$work/list"
  elif [ "$got" != "$expected" ]; then
    echo "maps_unchanged: the map with $settings has other bytes than before" >&2
    status=1
  fi
done < "$list"
if $update; then
  { grep '^#' "$list"; cat "$work/list"; } > "$work/new" && cat "$work/new" > "$list"
  echo "maps_unchanged: the sums of $(wc -l < "$work/list") maps written into $list"
  exit 0
fi
[ "$status" -ne 0 ] || echo "maps_unchanged: every map the same bytes as before"
exit "$status"
