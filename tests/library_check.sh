#!/usr/bin/env bash
# library_check.sh BUILD SOURCE HOMING-SIM: libhoming as another project uses
# it. Installs into a staging folder, builds a plain C program against the
# installed package twice (find_package, shared and static; pkg-config
# alone), holds its maps to homing-sim's CSV on 1 and 2 threads, runs its bad
# calls, and reads the exported symbols and the SONAME; and the Python module
# as installed.
set -euo pipefail
build=$(realpath "$1") source=$(realpath "$2") sim=$(realpath "$3")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

stage=$work/stage
DESTDIR=$stage cmake --install "$build" --prefix /usr > /dev/null
prefix=$stage/usr
lib=$(dirname "$(find "$prefix" -name libhoming.so -print -quit)")
[ -n "$lib" ] && [ -f "$prefix/include/homing/homing.h" ] || fail "the library or its header is not installed"
[ -f "$lib/pkgconfig/homing.pc" ] && [ -f "$lib/cmake/homing/homingConfigVersion.cmake" ] && [ -f "$lib/libhoming.a" ] ||
  fail "the pkg-config file, the CMake package or the static library is not installed"

# The exported symbols are the API's alone; the SONAME carries the major version.
major=$(sed -n 's/^#define HOMING_VERSION_MAJOR \([0-9]*\)$/\1/p' "$prefix/include/homing/homing.h")
soname=$(objdump -p "$lib/libhoming.so" | awk '$1 == "SONAME" { print $2 }')
[ "$soname" = "libhoming.so.$major" ] || fail "the SONAME is '$soname', not libhoming.so.$major"
others=$(nm -D --defined-only "$lib/libhoming.so" | awk '{ print $3 }' | grep -v '^homing_[a-z_]*@@HOMING_1$' |
  grep -vx 'HOMING_1' || true)
[ -z "$others" ] || fail "symbols exported beyond the API: $(echo "$others" | head -5 | tr '\n' ' ')"
declared=$(grep -o 'HOMING_API [^(]*(' "$prefix/include/homing/homing.h" | grep -o 'homing_[a-z_]*($' | tr -d '(' | sort)
exported=$(nm -D --defined-only "$lib/libhoming.so" | awk '{ print $3 }' | grep -o '^homing_[a-z_]*' | sort)
[ "$declared" = "$exported" ] || fail "the header declares and the library exports different calls: $(diff <(echo "$declared") <(echo "$exported") | tr '\n' ' ')"

for call in $declared; do
  grep -q "\*\*\`$call(" "$source/docs/library.md" || fail "docs/library.md does not document $call"
done

# A plain C project, by find_package alone.
cmake -S "$source/tests/library" -B "$work/consumer" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build "$work/consumer" > /dev/null
# And by pkg-config alone.
PKG_CONFIG_PATH=$lib/pkgconfig PKG_CONFIG_SYSROOT_DIR= cc -std=c99 -Wall -Wextra -Werror \
  "$source/tests/library/consumer.c" -o "$work/consumer-pc" $(PKG_CONFIG_PATH=$lib/pkgconfig pkg-config --cflags --libs homing)

settings="--step 25 --shots 4 --limit --marker-velocity 0.5 -0.25"
# shellcheck disable=SC2086 # the settings are words
"$sim" --map "$work/sim.csv" $settings
tail -n +3 "$work/sim.csv" > "$work/expected.csv"
for threads in 1 2; do
  "$work/consumer/consumer" map "$settings" "$threads" > "$work/cmake-$threads.csv"
  "$work/consumer/consumer-static" map "$settings" "$threads" > "$work/static-$threads.csv"
  LD_LIBRARY_PATH=$lib "$work/consumer-pc" map "$settings" "$threads" > "$work/pc-$threads.csv"
  for kind in cmake static pc; do
    cmp -s "$work/expected.csv" "$work/$kind-$threads.csv" ||
      fail "the $kind consumer's map on $threads threads is not homing-sim's: $(diff "$work/expected.csv" "$work/$kind-$threads.csv" | head -3 | tr '\n' ' ')"
  done
done
# The Python module as installed, in a fresh interpreter, on every core.
PYTHONPATH=$prefix/lib/python3/dist-packages /usr/bin/python3 -c "import homing, sys
sys.stdout.write(homing.map_csv(homing.map(step=25, shots=4, limit=True, motion='line 0.5 -0.25')))" > "$work/python.csv" ||
  fail "the installed Python module did not run"
tail -n +2 "$work/sim.csv" | cmp -s - "$work/python.csv" || fail "the installed Python module's map is not homing-sim's"
"$work/consumer/consumer" calls || fail "a bad call was not refused as it should be"
LD_LIBRARY_PATH=$lib "$work/consumer-pc" calls || fail "a bad call (pkg-config build) was not refused as it should be"
echo "library: installed, found by CMake and pkg-config, its maps homing-sim's, its bad calls refused, its symbols the API's"
