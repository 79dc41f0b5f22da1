#!/bin/bash
# The installed bash completion offers verbs, the program's own keys (after
# get and set, with "=" for set), ports and the options for many ports. Usage: check_completion.sh SCRIPT DIR_OF_Q51CTL
set -u
source "$1"
PATH="$2:$PATH"
fail() { echo "completion: $*" >&2; exit 1; }
complete_line() {
    COMP_WORDS=("$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _q51ctl
    printf '%s\n' "${COMPREPLY[@]}"
}
[[ $(complete_line q51ctl ex) == export ]] || fail "verb: $(complete_line q51ctl ex)"
[[ $(complete_line q51ctl get x.cfg misc.others.acc) == misc.others.accuracy ]] || fail "get key"
[[ $(complete_line q51ctl set x.cfg misc.others.acc) == misc.others.accuracy= ]] || fail "set key"
complete_line q51ctl version --port CO | grep -qx COM3 || fail "port"
[[ $(complete_line q51ctl memory cl) == clear ]] || fail "memory"
[[ $(complete_line q51ctl download x.cfg --ports a) == all ]] || fail "--ports"
complete_line q51ctl status --j | grep -qx -- --jobs || fail "--jobs"
complete_line q51ctl upload --output dec | grep -qxF 'dec-{port}.cfg' || fail "--output"
# An option's value is not the verb's argument: "memory" is still the verb.
[[ $(complete_line q51ctl --jobs 4 --ports all memory cl) == clear ]] || fail "verb after --jobs and --ports"
exit 0
