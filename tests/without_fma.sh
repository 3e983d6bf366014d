#!/bin/sh
# The main build's homing-sim with glibc told the processor has no FMA and no
# AVX2, so it picks its other variants of sin, cos, tan and atan (which differ
# in the last bit on some arguments): for traces_agree.sh.
GLIBC_TUNABLES=glibc.cpu.hwcaps=-FMA,-AVX2 exec "$(dirname "$0")/../build/runner/homing-sim" "$@"
