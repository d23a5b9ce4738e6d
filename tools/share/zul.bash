# bash completion for zul: commands, their options, option values, and file
# names (compiled rule files for decode and check).
_zul() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    local global="--loader --log-level --help --version"
    local command="" i
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
        extensions | decode | check | dump | probe) command=${COMP_WORDS[i]} && break ;;
        esac
    done

    case $prev in
    --loader | --plugins)
        compopt -o filenames
        mapfile -t COMPREPLY < <(compgen -f -- "$cur")
        return ;;
    --format)
        local formats="xml json none"
        [[ $command == check ]] && formats="text json"
        mapfile -t COMPREPLY < <(compgen -W "$formats" -- "$cur")
        return ;;
    --content-type)
        mapfile -t COMPREPLY < <(compgen -W "sgb" -- "$cur")
        return ;;
    --log-level | --timeout) return ;;
    esac

    local options
    case $command in
    "") options=$global ;;
    extensions) options="--plugins --no-default-plugins --json --help" ;;
    decode) options="--format --xml-per-file --content-type --plugins --no-default-plugins --help" ;;
    check) options="--format --content-type --plugins --no-default-plugins --help" ;;
    dump) options="--no-code --help" ;;
    probe) options="--timeout --json --help" ;;
    esac
    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
        return
    fi
    case $command in
    "") mapfile -t COMPREPLY < <(compgen -W "extensions decode check dump probe" -- "$cur") ;;
    decode | check)
        compopt -o filenames
        mapfile -t COMPREPLY < <(compgen -f -X '!*.sgb' -- "$cur"; compgen -d -- "$cur") ;;
    dump | probe)
        compopt -o filenames
        mapfile -t COMPREPLY < <(compgen -f -- "$cur") ;;
    esac
}
complete -F _zul zul
