#!/usr/bin/env bash
# install_check.sh BUILD SOURCE WM-CLOSE: the program as a desktop installs it.
# Installs into a staging folder and checks the desktop entry, the AppStream
# metadata and the man pages with their own validators, runs the installed
# homing-sim against the build tree's and the installed homing through the
# end-to-end test, then builds the Debian package and checks it with lintian
# and its file list.
set -euo pipefail
build=$(realpath "$1") source=$(realpath "$2") wm_close=$(realpath "$3")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
id=$(sed -n 's/^set(HOMING_APP_ID \(.*\))$/\1/p' "$source/CMakeLists.txt")

stage=$work/stage
DESTDIR=$stage cmake --install "$build" --prefix /usr > /dev/null
share=$stage/usr/share
expected=(
  usr/bin/homing usr/bin/homing-sim
  "usr/share/applications/$id.desktop" "usr/share/metainfo/$id.metainfo.xml"
  usr/share/man/man1/homing.1.gz usr/share/man/man1/homing-sim.1.gz
  usr/share/doc/homing/README.md usr/share/doc/homing/copyright usr/share/doc/homing/changelog.gz
  usr/share/doc/homing/examples/demo.txt usr/share/doc/homing/examples/compare.txt
  usr/share/doc/homing/docs/demonstration.md usr/share/doc/homing/docs/study.md usr/share/doc/homing/docs/window.png
)
# Every page the README links to is installed beside it.
for page in $(grep -o '](docs/[^)]*)' "$source/README.md" | sed 's/^](//; s/)$//'); do
  [ -f "$stage/usr/share/doc/homing/$page" ] || fail "the README links to $page, not installed beside it"
done
for size in 16 24 32 48 64 128 256; do expected+=("usr/share/icons/hicolor/${size}x$size/apps/$id.png"); done
for file in "${expected[@]}"; do [ -f "$stage/$file" ] || fail "not installed: /$file"; done

# The validators: no errors and no warnings (hints and pedantic notes aside).
report=$(desktop-file-validate "$share/applications/$id.desktop" 2>&1) || fail "desktop entry: $report"
! grep -qiE '(error|warning):' <<< "$report" || fail "desktop entry: $report"
appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml" > "$work/appstream.txt" 2>&1 ||
  fail "AppStream metadata: $(cat "$work/appstream.txt")"
for page in "$share"/man/man1/*.gz; do
  warnings=$(LC_ALL=C.UTF-8 man --warnings -l "$page" 2>&1 > /dev/null)
  [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
done
for size in 16 256; do
  [ "$(identify -format '%w %h' "$share/icons/hicolor/${size}x$size/apps/$id.png")" = "$size $size" ] ||
    fail "the $size-pixel icon is not $size pixels"
done

# The installed runner writes the build tree's trace.
"$stage/usr/bin/homing-sim" "$source/docs/demo.txt" > "$work/installed.csv"
"$build/runner/homing-sim" "$source/docs/demo.txt" > "$work/built.csv"
cmp -s "$work/installed.csv" "$work/built.csv" || fail "the installed homing-sim writes another trace"

# The installed window, driven as a user would.
"$source/tests/on_xvfb.sh" "$source/tests/window_e2e.sh" "$stage/usr/bin/homing" "$wm_close" ||
  fail "the installed homing failed the end-to-end test"

# The Debian package: lintian finds no error, and it holds every file above.
(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" > /dev/null)
deb=$(ls "$work"/package/homing_*_amd64.deb)
lintian --allow-root "$deb" > "$work/lintian.txt" 2>&1 || true
! grep -q '^E:' "$work/lintian.txt" || fail "lintian: $(grep '^E:' "$work/lintian.txt")"
grep '^[WI]:' "$work/lintian.txt" || true
dpkg-deb -c "$deb" | awk '{ print $6 }' > "$work/contents.txt"
for file in "${expected[@]}"; do grep -qx "./$file" "$work/contents.txt" || fail "not in the package: /$file"; done
dpkg-deb -f "$deb" Recommends | grep -q fonts-ipafont-gothic || fail "the package does not recommend the font"

# The library's packages: the shared library alone, what builds on it, and the Python module.
major=$(sed -n 's/^#define HOMING_VERSION_MAJOR \([0-9]*\)$/\1/p' "$source/library/include/homing/homing.h")
for part in "libhoming$major:libhoming.so.$major" "libhoming-dev:include/homing/homing.h homing.pc homingConfig.cmake libhoming.a" \
  "python3-homing:dist-packages/homing/__init__.py tour.ipynb"; do
  name=${part%%:*}
  library_deb=$(ls "$work"/package/"${name}"_*.deb) || fail "no package $name"
  lintian --allow-root "$library_deb" > "$work/lintian.txt" 2>&1 || true
  ! grep -q '^E:' "$work/lintian.txt" || fail "lintian: $(grep '^E:' "$work/lintian.txt")"
  dpkg-deb -c "$library_deb" | awk '{ print $6 }' > "$work/contents.txt"
  for file in ${part#*:}; do grep -q "/$file\$" "$work/contents.txt" || fail "$file is not in $name"; done
done
! dpkg-deb -c "$deb" | grep -q 'libhoming' || fail "the program's package holds the library's files"
echo "installed files, validators, installed programs and package: all good"
