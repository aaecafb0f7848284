# Bash completion for tessarine: its commands, each command's options, the values of --size, --level, --op
# and --format, the printers CUPS knows (lpstat -e) for --printer, and files for --output.

_tessarine() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
  local command="" word
  for word in "${COMP_WORDS[@]:1:COMP_CWORD-1}"; do
    case $word in
      export | print) command=$word ;;
    esac
  done

  # The option whose value is being completed: "--format pdf", or "--format=pdf", which bash splits at the
  # equals sign where COMP_WORDBREAKS holds it and leaves whole where it does not.
  local option="" prefix=""
  if [[ $cur == = ]]; then
    option=$prev
    cur=""
  elif [[ $prev == = && COMP_CWORD -ge 2 ]]; then
    option=${COMP_WORDS[COMP_CWORD - 2]}
  elif [[ $cur == --*=* ]]; then
    option=${cur%%=*}
    prefix=$option=
    cur=${cur#*=}
  elif [[ $prev == --* ]]; then
    option=$prev
  fi

  local values=""
  case $option in
    --size) values="3 4 5 6" ;;
    --level) values="0 1 2 3" ;;
    --op) values="sum product" ;;
    --format) values="pdf svg png emf" ;;
    --printer)
      local IFS=$'\n'
      if command -v lpstat >/dev/null 2>&1; then
        COMPREPLY=($(compgen -P "$prefix" -W "$(lpstat -e 2>/dev/null)" -- "$cur"))
      else
        COMPREPLY=()
      fi
      return
      ;;
    --output)
      local IFS=$'\n'
      compopt -o filenames 2>/dev/null
      COMPREPLY=($(compgen -P "$prefix" -f -- "$cur") $(compgen -P "$prefix" -W "-" -- "$cur"))
      return
      ;;
    --number | --line1 | --line2 | --count | --seed | --copies)
      COMPREPLY=()
      return
      ;;
  esac
  if [[ -n $values ]]; then
    COMPREPLY=($(compgen -P "$prefix" -W "$values" -- "$cur"))
    return
  fi

  local options="--size --level --op --date --number --line1 --line2 --count --seed --unique --help"
  case $command in
    export) options+=" --report --format --output --no-printer --quiet" ;;
    print) options+=" --report --printer --copies --quiet" ;;
    *) [[ COMP_CWORD -eq 1 ]] && options+=" export print --version" ;;
  esac
  COMPREPLY=($(compgen -W "$options" -- "$cur"))
}

complete -F _tessarine tessarine
