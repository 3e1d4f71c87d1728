# bash completion for Ruvela_v11 and Ruvela_v12                -*- shell-script -*-
#
# Installed as share/bash-completion/completions/Ruvela_v12 (Ruvela_v11 links
# to it), where bash-completion loads it the first time either program is
# completed; or source it from ~/.bashrc.
#
# The option names are read from the program's own --help when completing, so
# this file never falls behind the options the program takes.

# The options that --help lists: every --name on its lines that begin with an
# option (one line may hold two, as --ring-list FILE --companion-list FILE;
# --name=VALUE and "-n, --name" are read too).
_ruvela_options() {
    local program=${1/#\~/$HOME} help line word
    local -a words
    help=$(command "$program" --help 2>/dev/null) || return 0
    while IFS= read -r line; do
        [[ $line =~ ^[[:space:]]+-[-a-zA-Z] ]] || continue
        read -ra words <<<"$line"
        for word in "${words[@]}"; do
            word=${word%,}
            word=${word%%=*}
            [[ $word =~ ^--[a-z][a-z0-9-]*$ ]] && printf '%s\n' "$word"
        done
    done <<<"$help"
}

# Files whose extension is one of $2 (a |-list, any case), and folders to go
# down into; when no file has such an extension, every file.
_ruvela_files() {
    local cur=$1 extensions=$2 name lower
    local -a names=() matched=()
    mapfile -t names < <(compgen -f -- "$cur")
    for name in "${names[@]}"; do
        lower=${name,,}
        if [[ -d $name || ( $lower == *.* && "|$extensions|" == *"|${lower##*.}|"* ) ]]; then
            matched+=("$name")
        fi
    done
    local has_file=false
    for name in "${matched[@]}"; do
        [[ -d $name ]] || has_file=true
    done
    if $has_file; then
        COMPREPLY=("${matched[@]}")
    else
        COMPREPLY=("${names[@]}")
    fi
}

# The file extensions the readers are most often given: ring-width files
# (decade, Heidelberg, delimited text, TRiDaS) and companion files.
_ruvela_input_extensions='rwl|raw|crn|fh|csv|tsv|txt|xml|pth|dat'
_ruvela_list_extensions='lst|txt'

_ruvela() {
    local cur=${COMP_WORDS[COMP_CWORD]}
    local prev=""
    ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}
    COMPREPLY=()

    # bash splits --kind=pi into "--kind" "=" "pi" (= is in COMP_WORDBREAKS).
    if [[ $cur == = && $prev == --* ]]; then
        cur=""
    elif [[ $prev == = ]] && ((COMP_CWORD > 1)); then
        prev=${COMP_WORDS[COMP_CWORD - 2]}
    elif [[ $cur == --*=* ]]; then
        prev=${cur%%=*}
        cur=${cur#*=}
    fi

    compopt +o filenames 2>/dev/null
    case $prev in
    --kind)
        mapfile -t COMPREPLY < <(compgen -W "pith diameter d2pith proportional" -- "$cur")
        return 0
        ;;
    --layout)
        mapfile -t COMPREPLY < <(compgen -W "column decade" -- "$cur")
        return 0
        ;;
    --out)
        compopt -o filenames 2>/dev/null
        mapfile -t COMPREPLY < <(compgen -d -- "$cur")
        return 0
        ;;
    --plots)
        compopt -o filenames 2>/dev/null
        _ruvela_files "$cur" 'pdf|ps'
        return 0
        ;;
    --ring-list | --companion-list)
        compopt -o filenames 2>/dev/null
        _ruvela_files "$cur" "$_ruvela_list_extensions"
        return 0
        ;;
    --device | --format | --tree-chars)
        # A value of the user's own: nothing to offer.
        return 0
        ;;
    esac

    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$(_ruvela_options "${COMP_WORDS[0]}")" -- "$cur")
        return 0
    fi
    compopt -o filenames 2>/dev/null
    _ruvela_files "$cur" "$_ruvela_input_extensions"
    return 0
}

complete -F _ruvela Ruvela_v11 Ruvela_v12
