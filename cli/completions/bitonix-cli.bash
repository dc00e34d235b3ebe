# Bash completion for bitonix-cli: options, their fixed values, and inputs
# (folders and the files a folder argument would take).

_bitonix_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]}
    local prev=${COMP_WORDS[COMP_CWORD - 1]}
    # "--dpi=3": bash splits the word at '='.
    if [[ $cur == = ]]; then
        cur=
    elif [[ $prev == = && $COMP_CWORD -ge 2 ]]; then
        prev=${COMP_WORDS[COMP_CWORD - 2]}
    fi
    COMPREPLY=()
    case $prev in
    -r | --dpi)
        COMPREPLY=($(compgen -W '75 100 150 200 300 600 1200' -- "$cur"))
        return
        ;;
    --rotate)
        COMPREPLY=($(compgen -W 'none left right 180' -- "$cur"))
        return
        ;;
    -s | --straighten)
        COMPREPLY=($(compgen -W 'off auto' -- "$cur"))
        return
        ;;
    -p | --pattern | -c | --contrast | --whsize | -j | --jobs)
        return
        ;;
    -o | --output)
        compopt -o filenames 2>/dev/null
        COMPREPLY=($(compgen -f -- "$cur"))
        return
        ;;
    esac
    if [[ $cur == -?* ]]; then
        COMPREPLY=($(compgen -W '-o --output -p --pattern -r --dpi --rotate -c --contrast
            -s --straighten --whsize -j --jobs -q --quiet -v --verbose -h --help --version' -- "$cur"))
        return
    fi
    compopt -o filenames 2>/dev/null
    local name
    while IFS= read -r name; do
        if [[ -d $name ]]; then
            COMPREPLY+=("$name")
            continue
        fi
        case ${name,,} in
        *.jpg | *.jpeg | *.jfif | *.png | *.bmp | *.gif | *.tif | *.tiff | *.pdf)
            COMPREPLY+=("$name")
            ;;
        esac
    done < <(compgen -f -- "$cur")
}

complete -F _bitonix_cli bitonix-cli
