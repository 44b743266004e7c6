#!/usr/bin/env bash
# make uninstall: removes what the last make install recorded, under the
# DESTDIR and PREFIX that install used, and nothing else. A file that a
# package owns (by dpkg -S) is left in place and named; a folder goes only
# when that install created it and it is empty now.
#   [DESTDIR=...] [UNINSTALL_PREFIX=...] uninstall.sh RECORD
# DESTDIR and UNINSTALL_PREFIX, when given, must be the recorded ones.
set -uo pipefail
record=${1:?usage: uninstall.sh RECORD}
here=$(cd "$(dirname "$0")" && pwd)
if [ ! -f "$record" ]; then
  echo "uninstall: nothing to uninstall: no install is recorded in $record" >&2
  exit 1
fi

destdir= prefix= files=() folders=()
while IFS= read -r line; do
  case $line in
    'destdir '*) destdir=${line#destdir } ;;
    'prefix '*) prefix=${line#prefix } ;;
    'file '*) files+=("${line#file }") ;;
    'folder '*) folders+=("${line#folder }") ;;
  esac
done <"$record"
where="PREFIX=$prefix${destdir:+ DESTDIR=$destdir}"

given=${DESTDIR:-}
[ -z "$given" ] || given=$(realpath -m "$given")
if { [ -n "$given" ] && [ "$given" != "$destdir" ]; } ||
  { [ -n "${UNINSTALL_PREFIX:-}" ] && [ "${UNINSTALL_PREFIX%/}" != "$prefix" ]; }; then
  echo "uninstall: the recorded install is $where; nothing was removed" >&2
  exit 1
fi
echo "Removing the install of $where"

present=()
for file in "${files[@]}"; do
  path=$destdir$file
  if [ -e "$path" ] || [ -L "$path" ]; then present+=("$path"); fi
done

# Debian 12 registers the files of /usr/bin, /usr/sbin and /usr/lib under
# /bin, /sbin and /lib: both names are asked for.
declare -A owner=()
if [ ${#present[@]} -gt 0 ] && command -v dpkg >/dev/null 2>&1; then
  queries=()
  for path in "${present[@]}"; do
    queries+=("$path")
    case $path in /usr/bin/* | /usr/sbin/* | /usr/lib/*) queries+=("${path#/usr}") ;; esac
  done
  while IFS= read -r line; do
    case $line in diversion*) continue ;; esac
    case $line in *': /'*) ;; *) continue ;; esac
    path=${line#*: }
    owner[$path]=${line%%: /*}
    case $path in /bin/* | /sbin/* | /lib/*) owner[/usr$path]=${line%%: /*} ;; esac
  done < <(dpkg -S "${queries[@]}" 2>/dev/null)
fi

failed=()
for path in "${present[@]}"; do
  if [ -n "${owner[$path]:-}" ]; then
    echo "Keeping $path: it belongs to the package ${owner[$path]}"
    continue
  fi
  echo "Removing $path"
  rm -f -- "$path" || failed+=("$path")
done

# Deepest first, so that a folder empties before its parent is looked at;
# rmdir leaves a folder that still holds anything, hidden files included.
while IFS= read -r folder; do
  [ -n "$folder" ] && [ -d "$destdir$folder" ] && rmdir -- "$destdir$folder" 2>/dev/null
done < <(printf '%s\n' "${folders[@]}" | awk '{ print length($0) "\t" $0 }' | sort -rn | cut -f2-)

if [ ${#failed[@]} -gt 0 ]; then
  echo "uninstall: could not remove: ${failed[*]}" >&2
  exit 1
fi
rm -f -- "$record"
[ -n "$destdir" ] || bash "$here/refresh-desktop.sh" "$prefix"
exit 0
