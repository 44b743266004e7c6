#!/usr/bin/env bash
# The bash completion as a shell uses it: the script sourced, the completion
# function called with the words typed so far, COMPREPLY compared with what
# should be offered. The programs are the build's.
#
#   completion_test.sh BUILD_DIR SOURCE_DIR EDITOR   (EDITOR: yes when velmorin is built)
set -uo pipefail
build=$(cd "$1" && pwd) source=$(cd "$2" && pwd) editor=$3
export PATH=$build:$PATH LC_ALL=C.UTF-8
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# shellcheck source=/dev/null
source "$source/packaging/completion/velmorin.bash"

mkdir -p "$tmp/files/sub"
touch "$tmp/files/"{a.ldr,B.LDR,c.bld,d.mld,e.txt,names.csv,out.pdf}
cd "$tmp/files" || exit 1

# The words typed, the last one being completed; prints the offers, sorted.
offers() {
    COMP_WORDS=("$@")
    COMP_CWORD=$(($# - 1))
    COMP_LINE="$*"
    COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    local function
    function=$(complete -p "$1" | sed -E 's/.*-F ([^ ]+).*/\1/')
    "$function" "$1" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]:-}"
    printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort -u | tr '\n' ' ' | sed 's/ $//'
}

failures=0
# expect "OFFERS" WORDS...: the offers must be exactly these.
expect() {
    local want=$1
    shift
    local got
    got=$(offers "$@")
    if [ "$got" != "$want" ]; then
        echo "FAIL: '$*' offers '$got', not '$want'" >&2
        failures=$((failures + 1))
    fi
}
# expect_some "OFFER..." WORDS...: these must be among the offers.
expect_some() {
    local want=$1 offer
    shift
    local got
    got=" $(offers "$@") "
    for offer in $want; do
        if [[ $got != *" $offer "* ]]; then
            echo "FAIL: '$*' does not offer '$offer' (offers:$got)" >&2
            failures=$((failures + 1))
        fi
    done
}

commands=$(velmorin-cli --help | sed -nE 's/^  ([a-z][a-z0-9-]*).*/\1/p' | LC_ALL=C sort | tr '\n' ' ')
expect_some "$commands help" velmorin-cli ""
expect "scan send show stop" velmorin-cli s
expect "--help --version" velmorin-cli --
expect "compile" velmorin-cli help comp
# Options of the command, and their values.
expect "--date --format --help --json" velmorin-cli compile latch.ldr --
expect "gnu text" velmorin-cli compile --format ""
expect "gnu" velmorin-cli compile --format = g
expect "gnu" velmorin-cli compile --format=g
expect "keep" velmorin-cli run --mode k
expect "--json" velmorin-cli rom --port COM2 --j
# Files of the type each place takes, in any case, and folders.
expect "B.LDR a.ldr sub" velmorin-cli compile ""
expect "B.LDR a.ldr c.bld sub" velmorin-cli send ""
expect "c.bld sub" velmorin-cli extract ""
expect "d.mld sub" velmorin-cli watch --port COM1 --set ""
expect "names.csv sub" velmorin-cli aliases a.ldr --import ""
expect "" velmorin-cli watch --port COM1 E
# Ports: the Com names in any case and the devices; a path as a file.
expect "COM1 COM2 COM3 COM4" velmorin-cli rom --port co
expect "COM2" velmorin-cli scan --port = com2
expect "./a.ldr" velmorin-cli rom --port ./a.l
for device in /dev/ttyS0 /dev/ttyUSB0; do
    [ -e "$device" ] && expect_some "$device" velmorin-cli rom --port "${device%?}"
done
# The simulator's options and files.
expect "--link" velmorin-sim --li
expect "c.bld sub" velmorin-sim --link /tmp/plc --image ""
if [ "$editor" = yes ]; then
    expect "B.LDR a.ldr sub" velmorin ""
    expect "--export-doc --export-pdf" velmorin --exp
    expect "out.pdf sub" velmorin --export-pdf ""
    expect "out.pdf sub" velmorin --export-doc ""
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures completion check(s) failed" >&2
    exit 1
fi
echo "every completion check passed"
