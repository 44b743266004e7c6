#!/usr/bin/env bash
# Writes a manual page from a program's own --help and a page source that
# holds what --help does not say (exit status, environment, files), so that
# the page lists whatever options and commands the program has today.
#
#   make-manpage.sh [--commands] PAGE.in OUT.1[.gz] PROGRAM VERSION
#
# The page source is roff with these placeholders:
#   @VERSION@ @DATE@   the project's version; SOURCE_DATE_EPOCH's day, else today
#   @SYNOPSIS@         a SYNOPSIS section from the "usage:" lines
#   @HELP@             the rest of PROGRAM --help, as the program prints it
#   @COMMANDS@         with --commands: one subsection per sub-command that
#                      PROGRAM --help lists (indented "  name ..." lines, and
#                      "a | b | c" for several), from "PROGRAM name --help"
set -euo pipefail

commands=false
if [ "${1:-}" = "--commands" ]; then
  commands=true
  shift
fi
if [ $# -ne 4 ]; then
  echo "usage: make-manpage.sh [--commands] PAGE.in OUT.1 PROGRAM VERSION" >&2
  exit 2
fi
source_page=$1 out=$2 program=$3 version=$4
name=$(basename "$program")

# The help is the same on any machine: no display, one locale.
export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
errors=$(mktemp)
work=$(mktemp -d)
trap 'rm -rf "$errors" "$work"' EXIT

# PROGRAM [ARGS] --help under its own name (not the build path), or the
# build fails: a command the page cannot describe is a fault to see at once.
help_of() {
  local text
  if ! text=$(timeout 20 bash -c 'exec -a "$0" "$@"' "$name" "$program" "$@" --help 2>"$errors"); then
    echo "make-manpage.sh: '$name $* --help' failed:" >&2
    cat "$errors" >&2
    exit 1
  fi
  if [ -z "$text" ]; then
    echo "make-manpage.sh: '$name $* --help' printed nothing" >&2
    exit 1
  fi
  printf '%s\n' "$text"
}

# Text as roff: backslashes and hyphen-minus kept as typed, no line taken
# for a request.
escape() {
  sed -e 's/\\/\\e/g' -e 's/-/\\-/g' -e "s/^[.']/\\\\\&&/"
}

# The usage line and the lines that carry it on (indented under its first word).
usage_lines() {
  awk 'tolower($0) ~ /^usage: / { sub(/^[Uu]sage: */, ""); print; on = 1; next }
       on && /^       +[^ ]/ { sub(/^ +/, ""); if (substr($0, 1, 1) == "[") $0 = "  " $0; print; next }
       { on = 0 }'
}

# Everything else, without the blank lines around it and without the
# indentation that all of its lines share.
body_lines() {
  awk 'tolower($0) ~ /^usage: / { on = 1; next }
       on && /^       +[^ ]/ { next }
       { on = 0; lines[++n] = $0 }
       END { first = 1; while (first <= n && lines[first] ~ /^ *$/) ++first
             last = n; while (last >= first && lines[last] ~ /^ *$/) --last
             indent = -1
             for (i = first; i <= last; ++i) if (lines[i] !~ /^ *$/) {
               match(lines[i], /^ */); if (indent < 0 || RLENGTH < indent) indent = RLENGTH }
             for (i = first; i <= last; ++i) print substr(lines[i], indent + 1) }'
}

# A synopsis line with the program's name (and a sub-command's) in bold.
synopsis_roff() {
  local words=$1
  escape | awk -v words="$words" '
    { line = $0
      n = split(words, w, " ")
      for (i = 1; i <= n; ++i) {
        e = w[i]; gsub(/-/, "\\-", e)
        if (index(line, e) == 1) line = "\\fB" e "\\fR" substr(line, length(e) + 1)
        else if (index(line, " " e) > 0 && i > 1) {
          at = index(line, " " e)
          line = substr(line, 1, at) "\\fB" e "\\fR" substr(line, at + 1 + length(e))
        }
      }
      print line }'
}

verbatim() {
  printf '.nf\n'
  escape
  printf '.fi\n'
}

if ! $commands && grep -qx '@COMMANDS@' "$source_page"; then
  echo "make-manpage.sh: $source_page has @COMMANDS@: give --commands" >&2
  exit 2
fi

main_help=$(help_of)

{
  printf '.SH SYNOPSIS\n.nf\n'
  printf '%s\n' "$main_help" | usage_lines | synopsis_roff "$name"
  printf '.fi\n'
} >"$work/synopsis"

printf '%s\n' "$main_help" | body_lines | verbatim >"$work/help"

: >"$work/commands"
if $commands; then
  listed=$(printf '%s\n' "$main_help" | awk '
    /^  [a-z]/ { term = substr($0, 3); sub(/  .*/, "", term)
                 n = split(term, parts, / \| /)
                 for (i = 1; i <= n; ++i) { split(parts[i], w, " ")
                   if (w[1] ~ /^[a-z][a-z0-9-]*$/ && !seen[w[1]]++) print w[1] } }')
  if [ -z "$listed" ]; then
    echo "make-manpage.sh: '$name --help' lists no commands" >&2
    exit 1
  fi
  for command in $listed; do
    command_help=$(help_of "$command")
    {
      printf '.SS %s\n.nf\n' "$(printf '%s' "$command" | escape)"
      printf '%s\n' "$command_help" | usage_lines | synopsis_roff "$name $command"
      printf '.fi\n.PP\n'
      printf '%s\n' "$command_help" | body_lines | verbatim
    } >>"$work/commands"
  done
fi

if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
  date=$(date -u -d "@$SOURCE_DATE_EPOCH" +%Y-%m-%d)
else
  date=$(date -u +%Y-%m-%d)
fi

# Placeholders stand alone on their lines; the version and date go in anywhere.
awk -v version="$version" -v date="$date" -v dir="$work" '
  function include(file,   line) { while ((getline line < file) > 0) print line; close(file) }
  $0 == "@SYNOPSIS@" { include(dir "/synopsis"); next }
  $0 == "@HELP@"     { include(dir "/help"); next }
  $0 == "@COMMANDS@" { include(dir "/commands"); next }
  { gsub(/@VERSION@/, version); gsub(/@DATE@/, date); print }
' "$source_page" >"$work/page"

if grep -q '@[A-Z]*@' "$work/page"; then
  echo "make-manpage.sh: $source_page: unknown placeholder left" >&2
  exit 1
fi
case $out in
  *.gz) gzip -9n <"$work/page" >"$work/page.gz" && mv "$work/page.gz" "$out" ;;
  *) mv "$work/page" "$out" ;;
esac
