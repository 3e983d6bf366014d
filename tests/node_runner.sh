#!/bin/sh
# The web build's homing-sim (build-web/web/homing-sim.js) as a command, for traces_agree.sh.
exec node "$(dirname "$0")/../build-web/web/homing-sim.js" "$@"
