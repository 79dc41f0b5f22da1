#!/bin/bash
# The generated bash completion offers every verb and option that
# "q51ctl --help" names, each verb's own options, the program's own keys
# (after get, set and keys, with "=" for set), ports and the options for
# many ports. Usage: check_completion.sh SCRIPT DIR_OF_Q51CTL
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
help=$(q51ctl --help) || fail "q51ctl --help"
# Every verb the help lists completes, and knows its options.
verbs=$(sed -n 's/^  \([a-z]\+\) .*/\1/p' <<<"$help" | sort -u)
[[ $(wc -l <<<"$verbs") -ge 15 ]] || fail "too few verbs in the help: $verbs"
for verb in $verbs; do
    complete_line q51ctl "$verb" | grep -qx "$verb" || fail "verb $verb"
    complete_line q51ctl "$verb" --h | grep -qx -- --help || fail "options of $verb"
done
# Every option the help names is offered before a verb.
for option in $(grep -o -- '--[a-z][a-z-]*' <<<"$help" | sort -u); do
    complete_line q51ctl - | grep -qx -- "$option" || fail "option $option"
done
[[ $(complete_line q51ctl ex) == export ]] || fail "verb: $(complete_line q51ctl ex)"
[[ $(complete_line q51ctl po) == ports ]] || fail "ports"
complete_line q51ctl apply x.cfg --only barcodes.symboligies.code_3 | grep -qx barcodes.symboligies.code_39 ||
    fail "keys after --only"
[[ $(complete_line q51ctl get x.cfg misc.others.acc) == misc.others.accuracy ]] || fail "get key"
[[ $(complete_line q51ctl set x.cfg misc.others.acc) == misc.others.accuracy= ]] || fail "set key"
[[ $(complete_line q51ctl keys misc.others.acc) == misc.others.accuracy ]] || fail "keys PREFIX"
[[ $(complete_line q51ctl export --acc) == --accept-damaged ]] || fail "--accept-damaged for export"
[[ -z $(complete_line q51ctl keys --acc) ]] || fail "--accept-damaged offered to keys"
complete_line q51ctl version --port CO | grep -qx COM3 || fail "port"
complete_line q51ctl doctor CO | grep -qx COM3 || fail "doctor's port"
[[ $(complete_line q51ctl memory cl) == clear ]] || fail "memory"
[[ $(complete_line q51ctl download x.cfg --ports a) == all ]] || fail "--ports"
complete_line q51ctl status --j | grep -qx -- --jobs || fail "--jobs"
complete_line q51ctl upload --output dec | grep -qxF 'dec-{port}.cfg' || fail "--output"
# An option's value is not the verb's argument: "memory" is still the verb.
[[ $(complete_line q51ctl --jobs 4 --ports all memory cl) == clear ]] || fail "verb after --jobs and --ports"
# After "--" a word starting with "-" is an argument, not an option.
[[ $(complete_line q51ctl -- memory cl) == clear ]] || fail "verb after --"
[[ -z $(complete_line q51ctl memory -- --j) ]] || fail "option offered after --"
exit 0
