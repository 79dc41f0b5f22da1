#!/bin/bash
# The installed bash completion offers verbs, the program's own keys (after
# get and set, with "=" for set) and ports. Usage: check_completion.sh SCRIPT DIR_OF_Q51CTL
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
exit 0
