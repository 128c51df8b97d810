# bash completion for veltrix-settings
_veltrix_settings() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
    local command="" sub="" i word
    for ((i = 1; i < COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        case $word in
            --root | --lang) ((i++)) ;;
            -*) ;;
            *) if [[ -z $command ]]; then command=$word; elif [[ -z $sub ]]; then sub=$word; fi ;;
        esac
    done
    local words=""
    case $prev in
        --root | --html) COMPREPLY=($(compgen -d -- "$cur")); return ;;
        --lang) COMPREPLY=($(compgen -W "en de" -- "$cur")); return ;;
        --png) COMPREPLY=($(compgen -f -- "$cur")); return ;;
    esac
    case $command in
        "") words="init notify prefs preview run serve show theme --root --lang --help --version" ;;
        init) words="--help" ;;
        prefs)
            case $sub in
                "") words="read write delete export import --help" ;;
                read) words="--json --help" ;;
                write) words="-bool -int -float -string" ;;
                export | import) COMPREPLY=($(compgen -f -- "$cur") -); return ;;
            esac ;;
        show) words="--json --help" ;;
        run) COMPREPLY=($(compgen -W "--json --help -" -- "$cur") $(compgen -f -- "$cur")); return ;;
        preview) words="--html --png --width --height --help" ;;
        serve) words="--port --bind --token --help" ;;
        theme)
            case $sub in
                "") words="list lint export import reset --help" ;;
                list) words="--json --help" ;;
                lint) COMPREPLY=($(compgen -W "--json --help" -- "$cur") $(compgen -d -- "$cur")); return ;;
                import) COMPREPLY=($(compgen -W "--force --help -" -- "$cur") $(compgen -f -- "$cur")); return ;;
                export | reset) words="--help" ;;
            esac ;;
        notify)
            case $sub in
                "") words="post watch --help" ;;
                watch) words="--count --timeout --json --help" ;;
                post) words="--help" ;;
            esac ;;
    esac
    COMPREPLY=($(compgen -W "$words" -- "$cur"))
}
complete -F _veltrix_settings veltrix-settings
