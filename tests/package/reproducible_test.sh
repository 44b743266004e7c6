#!/usr/bin/env bash
# Two packages of the last commit, each built as make package builds it in
# a fresh clone of its own at a different path, must be the same bytes.
# Slow (two whole builds without the compiler cache): not part of make test.
#
#   reproducible_test.sh [JOBS]
set -uo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
jobs=${1:-$(nproc)}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
commit=$(git -C "$source_dir" rev-parse HEAD)
echo "reproducible: building commit $commit twice"

start=$SECONDS
debs=()
for place in first/velmorin second/elsewhere/other-name; do
  git clone --quiet --no-local "$source_dir" "$tmp/$place" && git -C "$tmp/$place" checkout --quiet "$commit" || exit 1
  # The second clone's files are an hour newer, as a later checkout's would be.
  if [ "$place" != first/velmorin ]; then
    find "$tmp/$place" -type f -exec touch -d "@$(($(date +%s) + 3600))" {} +
  fi
  if ! CCACHE_DISABLE=1 bash "$tmp/$place/packaging/build-package.sh" "$tmp/$place/build-deb" "$jobs" \
    >"$tmp/${place//\//_}.log" 2>&1; then
    tail -30 "$tmp/${place//\//_}.log" >&2
    echo "FAIL: make package in $tmp/$place" >&2
    exit 1
  fi
  debs+=("$(ls "$tmp/$place"/build-deb/velmorin_*.deb)")
done
echo "reproducible: two builds took $((SECONDS - start)) s"

if cmp -s "${debs[0]}" "${debs[1]}"; then
  echo "ok: $(basename "${debs[0]}") is the same byte for byte ($(sha256sum <"${debs[0]}" | cut -c1-16)...)"
  exit 0
fi
echo "FAIL: the two packages differ; the members and files that do:" >&2
for i in 0 1; do
  mkdir -p "$tmp/x$i" && (cd "$tmp/x$i" && ar x "${debs[$i]}" && mkdir data control &&
    tar -xf data.tar.* -C data && tar -xf control.tar.* -C control)
done
diff -r "$tmp/x0" "$tmp/x1" >&2
exit 1
