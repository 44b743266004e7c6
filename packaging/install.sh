#!/usr/bin/env bash
# make install: installs the build tree under PREFIX (inside DESTDIR when it
# is set) and records for make uninstall what this install did: its DESTDIR
# and PREFIX, every file it put there and every folder it had to create.
# The files are learnt from a trial install into a scratch folder first,
# so that the folders that did not exist before are known.
#   [DESTDIR=...] install.sh BUILD PREFIX RECORD
set -euo pipefail
build=${1:?usage: install.sh BUILD PREFIX RECORD} prefix=${2:?PREFIX} record=${3:?RECORD}
case $prefix in
  /*) ;;
  *) echo "install: PREFIX must be an absolute path, not '$prefix'" >&2; exit 2 ;;
esac
[ "$prefix" = / ] || prefix=${prefix%/}
destdir=${DESTDIR:-}
# A relative DESTDIR would mean another folder to a later uninstall run elsewhere.
[ -z "$destdir" ] || destdir=$(realpath -m "$destdir")

trial=$(mktemp -d)
trap 'rm -rf "$trial"' EXIT
DESTDIR=$trial cmake --install "$build" --prefix "$prefix" --component velmorin >/dev/null
mapfile -t files < <(cd "$trial" && find . ! -type d | sed 's|^\.||' | LC_ALL=C sort)

declare -A looked=()
folders=()
for file in "${files[@]}"; do
  folder=$(dirname "$file")
  while [ "$folder" != / ] && [ -z "${looked[$folder]:-}" ]; do
    looked[$folder]=1
    [ -d "$destdir$folder" ] || folders+=("$folder")
    folder=$(dirname "$folder")
  done
done

DESTDIR=$destdir cmake --install "$build" --prefix "$prefix" --component velmorin

# An earlier install to the same place stays recorded with this one (a file
# it had that this build no longer installs is still ours); one made
# elsewhere is forgotten, which the user is told.
earlier=()
if [ -f "$record" ]; then
  old_destdir=$(sed -n 's/^destdir //p' "$record")
  old_prefix=$(sed -n 's/^prefix //p' "$record")
  if [ "$old_destdir" = "$destdir" ] && [ "$old_prefix" = "$prefix" ]; then
    while IFS= read -r line; do
      case $line in
        'file '*) [ -e "$destdir${line#file }" ] && earlier+=("$line") ;;
        'folder '*) earlier+=("$line") ;;
      esac
    done <"$record"
  else
    echo "install: the earlier install (PREFIX=$old_prefix${old_destdir:+ DESTDIR=$old_destdir}) is no longer" \
      "recorded: make uninstall will not remove it" >&2
  fi
fi

{
  echo "# Written by make install; make uninstall removes this and nothing else."
  echo "destdir $destdir"
  echo "prefix $prefix"
  {
    for file in "${files[@]}"; do echo "file $file"; done
    for folder in "${folders[@]}"; do echo "folder $folder"; done
    [ ${#earlier[@]} -eq 0 ] || printf '%s\n' "${earlier[@]}"
  } | LC_ALL=C sort -u
} >"$record.new"
mv "$record.new" "$record"
