# Bash completion for q51ctl: verbs, options, configuration keys (from the
# program itself, so they always match its schema) and serial ports.

_q51ctl_ports()
{
    local devices
    devices=$(compgen -G '/dev/ttyS[0-9]*'; compgen -G '/dev/ttyUSB*'; compgen -G '/dev/ttyACM*')
    printf '%s\n' COM1 COM2 COM3 COM4 $devices
}

_q51ctl()
{
    local cur prev verb i
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD-1]}
    local verbs="download upload version status trigger isp memory report diff export import get set keys"

    case $prev in
        --port) COMPREPLY=($(compgen -W "$(_q51ctl_ports)" -- "$cur")); return ;;
        --ports) COMPREPLY=($(compgen -W "all" -- "$cur")); return ;;
        --jobs) COMPREPLY=($(compgen -W "1 2 4 8 16 32" -- "$cur")); return ;;
        --output) COMPREPLY=($(compgen -W "dec-{port}.cfg dec-{n}.cfg dec-{serial}.cfg" -- "$cur") $(compgen -f -- "$cur")); return ;;
        --settings) COMPREPLY=($(compgen -W "9600,N,8,1 19200,N,8,1 4800,N,8,1 2400,N,8,1 1200,N,8,1" -- "$cur")); return ;;
    esac
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "--port --ports --jobs --output --settings --verify --device --json --all-bytes --quiet -q --help --version" -- "$cur"))
        return
    fi

    # The verb and how many plain words follow it.
    verb=
    local words=0
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
            --port|--ports|--jobs|--output|--settings) ((i++)) ;;
            -*) ;;
            *) if [[ -z $verb ]]; then verb=${COMP_WORDS[i]}; else ((words++)); fi ;;
        esac
    done
    if [[ -z $verb ]]; then
        COMPREPLY=($(compgen -W "$verbs" -- "$cur"))
        return
    fi
    case $verb in
        get|set)
            if ((words == 0)); then
                COMPREPLY=($(compgen -f -X '!*.cfg' -- "$cur") $(compgen -d -- "$cur"))
            else
                local keys suffix=
                [[ $verb == set ]] && suffix==
                keys=$(q51ctl keys 2>/dev/null)
                COMPREPLY=($(compgen -W "$keys" -S "$suffix" -- "$cur"))
                [[ $verb == set ]] && compopt -o nospace 2>/dev/null
            fi ;;
        memory)
            ((words == 0)) && COMPREPLY=($(compgen -W "read sizes free clear" -- "$cur")) ;;
        isp)
            COMPREPLY=($(compgen -f -X '!*.bin' -- "$cur") $(compgen -d -- "$cur")) ;;
        *)
            COMPREPLY=($(compgen -f -- "$cur")) ;;
    esac
}

complete -F _q51ctl q51ctl
