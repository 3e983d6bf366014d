#!/usr/bin/env bash
# no_japanese_font.sh HOMING HOMING-SIM: with no font that has Japanese glyphs,
# the window and the comparison each say so in one line, and carry on.
set -euo pipefail
homing=$1 sim=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat > "$work/fonts.conf" <<CONF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig><dir>/usr/share/fonts/truetype/dejavu</dir><cachedir>$work/cache</cachedir></fontconfig>
CONF
export FONTCONFIG_FILE=$work/fonts.conf XDG_RUNTIME_DIR=$work
line="no installed font shows the Japanese captions; install fonts-ipafont-gothic (or another Japanese font)"

printf 'frames 20\n' | "$sim" --compare "$work/compare.png" > /dev/null 2> "$work/sim.txt"
[ "$(cat "$work/sim.txt")" = "homing-sim: $line" ] || { echo "homing-sim said: $(cat "$work/sim.txt")"; exit 1; }
[ -s "$work/compare.png" ] || { echo "homing-sim did not carry on"; exit 1; }

status=0
QT_QPA_PLATFORM=offscreen timeout 3 "$homing" 2> "$work/homing.txt" || status=$?
[ "$status" = 124 ] || { echo "homing ended early with status $status"; exit 1; }
[ "$(cat "$work/homing.txt")" = "homing: $line" ] || { echo "homing said: $(cat "$work/homing.txt")"; exit 1; }
echo "both warned in one line and carried on"
