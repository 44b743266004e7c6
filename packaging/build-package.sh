#!/usr/bin/env bash
# make package: the Debian package, built in a tree of its own with the
# distribution's flags (dpkg-buildflags with every hardening feature:
# fortify, stack protector, relro, bindnow) and dated by the last commit
# (SOURCE_DATE_EPOCH), so that two builds of one commit give the same
# bytes; then lintian, which must find no error and no warning.
#
#   build-package.sh BUILD_DIR [JOBS]
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?usage: build-package.sh BUILD_DIR [JOBS]}
jobs=${2:-$(nproc)}

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git -C "$source_dir" log -1 --format=%ct 2>/dev/null || true)
fi
if [ -z "$SOURCE_DATE_EPOCH" ]; then
  echo "package: no commit to date the package from; set SOURCE_DATE_EPOCH" >&2
  exit 1
fi
export SOURCE_DATE_EPOCH
# Files that the build names keep no trace of where the tree was.
umask 022
export LC_ALL=C.UTF-8 TZ=UTC

mkdir -p "$build"
build=$(cd "$build" && pwd)
# The flags as Debian's own packages get them; the paths of this tree and
# of the build tree are written as "." into whatever would keep them.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
flags() { (cd "$source_dir" && dpkg-buildflags --get "$1"); }
maps="-ffile-prefix-map=$source_dir=. -ffile-prefix-map=$build=."
cmake -S "$source_dir" -B "$build" -DCMAKE_BUILD_TYPE=None -DVELMORIN_TESTS=OFF -DVELMORIN_BENCH=OFF \
  -DCMAKE_CXX_COMPILER_LAUNCHER= \
  -DCMAKE_CXX_FLAGS="$(flags CPPFLAGS) $(flags CXXFLAGS) $maps" \
  -DCMAKE_EXE_LINKER_FLAGS="$(flags LDFLAGS)" >/dev/null
cmake --build "$build" -j "$jobs"
rm -f "$build"/velmorin_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/velmorin_*.deb)

# Errors and warnings fail the package; what lintian only suggests (info,
# pedantic) is shown and left to the reader.
lintian --fail-on error,warning --display-info "$deb"
echo "$deb"
