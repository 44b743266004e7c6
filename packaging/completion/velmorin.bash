# bash completion for velmorin, velmorin-cli and velmorin-sim.
#
# The commands, the options and what their values are come from the
# programs' own --help, so the completion offers what the installed programs
# take today: a value shown as DEV is a serial device (COM1..COM4 and the
# devices of this computer), one shown as FILE.ldr, FILE.bld|FILE.ldr,
# NAMES.csv... is a file of that type, one shown as a|b|c is one of those
# words, PATH is any file.

# The help of "$@", once per command line being completed.
_velmorin_help() {
    local key="$*"
    if [[ $key != "${_velmorin_help_key-}" ]]; then
        _velmorin_help_key=$key
        _velmorin_help_text=$(QT_QPA_PLATFORM=offscreen "$@" --help 2>/dev/null)
    fi
    printf '%s\n' "$_velmorin_help_text"
}

# "--opt VALUE" pairs of a help text, one a line: the option and its value
# placeholder (empty for a flag). Both layouts are read: "  --port DEV  ..."
# and Qt's "  --export-pdf <OUT.pdf>  ...".
_velmorin_options() {
    sed -nE 's/^ +(-[A-Za-z?], )?(--[a-z][a-z-]*)( <?([^ >]+)>?)?( .*)?$/\2 \4/p'
}

# Files whose name ends in one of the extensions (any case), and folders.
_velmorin_files() {
    local cur=$1 ext file
    shift
    compopt -o filenames 2>/dev/null
    local IFS=$'\n'
    COMPREPLY+=($(compgen -d -- "$cur"))
    for file in $(compgen -f -- "$cur"); do
        [[ -d $file ]] && continue
        for ext in "$@"; do
            if [[ ${file,,} == *."${ext,,}" ]]; then
                COMPREPLY+=("$file")
                break
            fi
        done
    done
}

# Serial devices: the Com names and the devices of this computer; a path
# typed (a simulator's link) is completed as a file.
_velmorin_devices() {
    local cur=$1 device
    COMPREPLY+=($(compgen -W "COM1 COM2 COM3 COM4" -- "${cur^^}"))
    for device in /dev/serial/by-id/* /dev/ttyUSB* /dev/ttyACM* /dev/ttyS*; do
        [[ -e $device && $device == "$cur"* ]] && COMPREPLY+=("$device")
    done
    if [[ $cur == */* || $cur == .* ]]; then
        compopt -o filenames 2>/dev/null
        local IFS=$'\n'
        COMPREPLY+=($(compgen -f -- "$cur"))
    fi
}

# Completes a value shown in the help as `placeholder`.
_velmorin_value() {
    local placeholder=$1 cur=$2
    local -a extensions
    if [[ $placeholder == *DEV* ]]; then
        _velmorin_devices "$cur"
    elif extensions=($(grep -oE '\.[A-Za-z]+' <<<"$placeholder" | tr -d . | sort -u)) && ((${#extensions[@]})); then
        _velmorin_files "$cur" "${extensions[@]}"
    elif [[ $placeholder == PATH ]]; then
        compopt -o filenames 2>/dev/null
        local IFS=$'\n'
        COMPREPLY+=($(compgen -f -- "$cur"))
    elif [[ $placeholder == *'|'* && $placeholder =~ ^[a-z|]+$ ]]; then
        COMPREPLY+=($(compgen -W "${placeholder//|/ }" -- "$cur"))
    fi
}

# The word being completed, and the option whose value it is (if any),
# with "--opt=value" taken apart as bash splits it at the "=".
_velmorin_word() {
    cur=${COMP_WORDS[COMP_CWORD]} option=
    local prev=
    ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}
    if [[ $cur == = ]]; then
        option=$prev cur=
    elif [[ $prev == = && COMP_CWORD -ge 2 ]]; then
        option=${COMP_WORDS[COMP_CWORD - 2]}
    elif [[ $cur == --*=* ]]; then
        option=${cur%%=*} cur=${cur#*=}
    elif [[ $prev == -* ]]; then
        option=$prev
    fi
}

# Completes for a program (or a program and its command) given its help:
# options, their values, and the positional files named by `arguments`.
_velmorin_complete_from() {
    local help=$1 arguments=$2 cur option placeholder word
    _velmorin_word
    local -A takes=()
    local line
    while read -r word placeholder; do
        [[ -n $word ]] && takes[$word]=$placeholder
    done < <(_velmorin_options <<<"$help")
    if [[ -n $option && -n ${takes[$option]-} ]]; then
        _velmorin_value "${takes[$option]}" "$cur"
        return
    fi
    if [[ $cur == -* ]]; then
        COMPREPLY+=($(compgen -W "${!takes[*]}" -- "$cur"))
        return
    fi
    _velmorin_value "$arguments" "$cur"
}

_velmorin_cli() {
    COMPREPLY=()
    local program=${COMP_WORDS[0]} command= i help
    # The command is the first word that is not an option or an option's value.
    for ((i = 1; i < COMP_CWORD; ++i)); do
        if [[ ${COMP_WORDS[i]} != -* ]]; then
            command=${COMP_WORDS[i]}
            break
        fi
    done
    help=$(_velmorin_help "$program")
    # "  send FILE.bld|FILE.ldr   download ..." lists a command and its arguments.
    local commands
    commands=$(sed -nE 's/^  ([a-z][a-z0-9-]*)( .*)?$/\1/p' <<<"$help" | sort -u)
    if [[ -z $command ]]; then
        local cur=${COMP_WORDS[COMP_CWORD]}
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W "--help --version" -- "$cur"))
        else
            COMPREPLY=($(compgen -W "$commands help" -- "$cur"))
        fi
        return
    fi
    if [[ $command == help ]]; then
        ((COMP_CWORD == i + 1)) && COMPREPLY=($(compgen -W "$commands" -- "${COMP_WORDS[COMP_CWORD]}"))
        return
    fi
    grep -qx -- "$command" <<<"$commands" || return
    local arguments
    arguments=$(sed -nE "s/^  $command (.*[^ ]) {2,}.*$/\\1/p" <<<"$help" | head -1)
    _velmorin_complete_from "$(_velmorin_help "$program" "$command")" "$arguments"
}

# velmorin and velmorin-sim: one program, its options and its files.
_velmorin_program() {
    COMPREPLY=()
    local help arguments
    help=$(_velmorin_help "${COMP_WORDS[0]}")
    # The editor's positional file ("[FILE.ldr]" in its usage line).
    arguments=$(sed -nE '1s/^[Uu]sage: .* \[?(FILE\.[a-z]+)\]?$/\1/p' <<<"$help")
    _velmorin_complete_from "$help" "$arguments"
}

complete -F _velmorin_cli velmorin-cli
complete -F _velmorin_program velmorin velmorin-sim
