#!/bin/bash
# Completes command lines with the bash completion script as bash does at a
# TAB, and holds what it offers against the program: every option, kind and
# layout it offers is one the program takes, and a made-up one is not (so
# the check can fail). Files are offered from a folder made here.
#   completion_test.sh <completion script> <program> <work folder>
set -u

script=$1
program=$2
work=$3

failures=0
fail() {
    echo "completion_test: $*" >&2
    failures=$((failures + 1))
}

# shellcheck source=../scripts/ruvela-completion.bash
source "$script"

# What the completion offers for the words given, the last one being the word
# at the cursor (bash splits --kind=p into --kind, =, p), sorted on one line.
offers() {
    COMP_WORDS=("$@")
    COMP_CWORD=$(($# - 1))
    COMP_LINE="$*"
    COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    _ruvela
    printf '%s\n' "${COMPREPLY[@]}" | sed '/^$/d' | LC_ALL=C sort | tr '\n' ' ' | sed 's/ $//'
}

expect() {
    local what=$1 wanted=$2
    shift 2
    local got
    got=$(offers "$program" "$@")
    [[ $got == "$wanted" ]] || fail "$what: offered '$got', wanted '$wanted'"
}

# The program's complaint about one command line; a value it does not take is
# named there in quotes.
complaint() {
    "$program" "$@" </dev/null 2>&1 >/dev/null | head -n 1
}

taken() {
    local value=$1
    shift
    local said
    said=$(complaint "$@")
    [[ $said != *"'$value'"* ]]
}

for name in Ruvela_v11 Ruvela_v12; do
    [[ $(complete -p "$name" 2>/dev/null) == *"-F _ruvela"* ]] ||
        fail "no completion is registered for $name"
done

# Kinds and layouts, also in the --option=value forms.
kinds="d2pith diameter pith proportional"
expect "kinds" "$kinds" --kind ""
expect "kinds after --kind=" "$kinds" --kind = ""
expect "kinds after --kind=p" "pith proportional" --kind = p
expect "kinds starting with d" "d2pith diameter" --csv --kind d
for kind in $kinds; do
    taken "$kind" --kind "$kind" || fail "the program does not take the kind $kind: $(complaint --kind "$kind")"
done
taken sapwood --kind sapwood && fail "the program's complaint does not name a kind it refuses"
# The complaint about a kind it refuses may list the kinds it takes.
listed() {
    local said
    said=$(complaint "$@")
    [[ $said =~ \(([a-z0-9, ]+)\) ]] || return 0
    echo "${BASH_REMATCH[1]}" | sed 's/, / /g; s/ or / /' | tr ' ' '\n' | LC_ALL=C sort | tr '\n' ' ' |
        sed 's/ $//'
}
taken_kinds=$(listed --kind sapwood)
[[ -z $taken_kinds || $taken_kinds == "$kinds" ]] ||
    fail "the program takes the kinds '$taken_kinds', the completion offers '$kinds'"
expect "layouts" "column decade" --kind pith --layout ""
for layout in column decade; do
    taken "$layout" --kind pith --layout "$layout" ||
        fail "the program does not take the layout $layout: $(complaint --kind pith --layout "$layout")"
done
taken rows --kind pith --layout rows && fail "the program's complaint does not name a layout it refuses"
taken_layouts=$(listed --kind pith --layout rows)
[[ -z $taken_layouts || $taken_layouts == "column decade" ]] ||
    fail "the program takes the layouts '$taken_layouts', the completion offers 'column decade'"

# Options: read from the program's --help, each one the program takes.
options=$(offers "$program" --)
for option in --help --version --csv --device --kind --format --layout --ring-list \
    --companion-list --out --plots --keep-going --strict --trees --tree-chars; do
    [[ " $options " == *" $option "* ]] || fail "option $option is not offered: $options"
done
for option in $options; do
    taken "$option" "$option" || fail "an option offered is not taken: $(complaint "$option")"
done
taken --sapwood --sapwood && fail "the program's complaint does not name an option it refuses"
expect "options starting with --k" "--keep-going --kind" --k
expect "no value is made up for --format" "" --kind pith --format ""

# Files: the formats read first, then any file when none of those is there.
rm -rf "$work"
mkdir -p "$work/sub"
cd "$work" || exit 1
touch a.rwl b.txt C.FH d.xml notes.md r.lst old.pdf
expect "input files" "C.FH a.rwl b.txt d.xml sub" --kind pith ""
expect "input files after a pair" "C.FH a.rwl b.txt d.xml sub" --kind pith a.rwl b.txt ""
expect "any file when none of a read format matches" "notes.md" --kind pith n
expect "list files" "b.txt r.lst sub" --kind pith --ring-list ""
expect "list files after =" "b.txt r.lst sub" --kind pith --companion-list = ""
expect "folders after --out" "sub" --kind pith --out ""
expect "plot files" "old.pdf sub" --kind pith --plots ""

if ((failures > 0)); then
    echo "completion_test: $failures failures" >&2
    exit 1
fi
exit 0
