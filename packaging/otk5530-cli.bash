# bash completion for otk5530-cli                          -*- shell-script -*-
# Installed as /usr/share/bash-completion/completions/otk5530-cli. Needs nothing but bash:
# it works with or without the bash-completion package.

# The registers of the register table by names the tool takes without quotes ("rw" writable,
# "ro" read-only): each description in lower case with underscores, the part in brackets
# left out where the rest still names that one register. A test checks that each names its
# own register and that every register has one.
_otk5530_cli_registers=(
    "ro local_temp_value"
    "ro remote_1_temp_high_byte"
    "ro remote_2_temp_high_byte_bit_3_config_reg_1"
    "ro status_reg_1"
    "rw configuration_reg_1"
    "rw conversion_rate"
    "rw local_temp_high_limit"
    "rw local_temp_low_limit"
    "rw remote_1_high_limit_high_byte"
    "rw remote_2_high_limit_high_byte_bit_3_config_reg_1"
    "rw remote_1_low_limit_high_byte"
    "rw remote_2_low_limit_high_byte_bit_3_config_reg_1"
    "ro remote_1_temp_low_byte"
    "ro remote_2_temp_low_byte_bit_3_config_reg_1"
    "rw remote_1_offset_high_byte"
    "rw remote_2_offset_high_byte"
    "rw remote_1_offset_low_byte"
    "rw remote_2_offset_low_byte"
    "rw remote_1_high_limit_low_byte"
    "rw remote_2_high_limit_low_byte_bit_3_config_reg_1"
    "rw remote_1_low_limit_low_byte"
    "rw remote_2_low_limit_low_byte_bit_3_config_reg_1"
    "rw remote_1_therm_limit"
    "rw remote_2_therm_limit_bit_3_config_reg_1"
    "rw local_therm_limit"
    "rw therm_hysteresis"
    "rw consecutive_alert"
    "ro status_reg_2"
    "rw configuration_reg_2"
    "ro remote_2_temp_high_byte"
    "rw remote_2_high_limit_high_byte"
    "rw remote_2_low_limit_high_byte"
    "ro remote_2_temp_low_byte"
    "rw remote_2_temp_offset_high_byte"
    "rw remote_2_temp_offset_low_byte"
    "rw remote_2_high_limit_low_byte"
    "rw remote_2_low_limit_low_byte"
    "rw remote_2_therm_limit"
    "ro manufacturer_id"
    "ro die_revision_code"
)

# Splits the line up to the cursor into words at unquoted blanks only, as the shell will
# run it. COMP_WORDS is no use here: it also splits at = and :, which limit settings,
# I2C paths and register names contain. Sets _otk5530_cli_words (raw text, quotes kept).
_otk5530_cli_split() {
    local line=${COMP_LINE:0:COMP_POINT} word="" quote="" escaped=0 started=0 c i
    _otk5530_cli_words=()
    for ((i = 0; i < ${#line}; i++)); do
        c=${line:i:1}
        if ((escaped)); then
            escaped=0
        elif [[ -n $quote ]]; then
            [[ $c == "$quote" ]] && quote=""
        elif [[ $c == \\ ]]; then
            escaped=1
        elif [[ $c == [\'\"] ]]; then
            quote=$c
        elif [[ $c == [[:space:]] ]]; then
            ((started)) && _otk5530_cli_words+=("$word")
            word="" started=0
            continue
        fi
        word+=$c
        started=1
    done
    _otk5530_cli_words+=("$word")
}

# The text a raw word stands for: quotes and backslashes removed, as the shell does.
_otk5530_cli_unquote() {
    local raw=$1 out="" quote="" c i
    for ((i = 0; i < ${#raw}; i++)); do
        c=${raw:i:1}
        if [[ -n $quote ]]; then
            if [[ $c == "$quote" ]]; then
                quote=""
            elif [[ $quote == '"' && $c == \\ && ${raw:i+1:1} == [\"\\\$\`] ]]; then
                out+=${raw:i+1:1}
                ((i++))
            else
                out+=$c
            fi
        elif [[ $c == \\ ]]; then
            out+=${raw:i+1:1}
            ((i++))
        elif [[ $c == [\'\"] ]]; then
            quote=$c
        else
            out+=$c
        fi
    done
    printf '%s' "$out"
}

# Offers the words that begin with the current word ("names": case-insensitively), trimmed
# to the part readline replaces: the text after the open quote, or after the last word-break
# character (= : and so on) that is not escaped. _otk5530_cli_prefix goes before each word
# (the "--option=" of a value typed in one word with its option).
_otk5530_cli_offer() {
    local kind=$1 raw=$2
    shift 2
    local candidate lead="" typed i breaks=${COMP_WORDBREAKS// /}
    typed=$(_otk5530_cli_unquote "$raw")
    if [[ $raw != [\'\"]* ]]; then
        for ((i = 0; i < ${#raw}; i++)); do
            if [[ ${raw:i:1} == \\ ]]; then
                ((i++))
            elif [[ $breaks == *"${raw:i:1}"* ]]; then
                lead=${raw:0:i+1}
            fi
        done
    fi
    for candidate in "$@"; do
        candidate=$_otk5530_cli_prefix$candidate
        if [[ $kind == names ]]; then
            [[ ${candidate,,} == "${typed,,}"* ]] || continue
        else
            [[ $candidate == "$typed"* ]] || continue
        fi
        [[ ${candidate,,} == "${lead,,}"* ]] && candidate=${candidate:${#lead}}
        COMPREPLY+=("$candidate")
    done
}

_otk5530_cli_registers_for() {
    local want=$1 entry
    for entry in "${_otk5530_cli_registers[@]}"; do
        [[ $want == all || ${entry%% *} == rw ]] && printf '%s\n' "${entry#* }"
    done
}

# Files and folders; with a pattern (*.sav), only the files it matches, and every folder.
_otk5530_cli_files() {
    local raw=$1 pattern=${2:-} typed path
    typed=$(_otk5530_cli_unquote "$raw")
    compopt -o filenames 2>/dev/null
    while IFS= read -r path; do
        COMPREPLY+=("$path")
    done < <(if [[ -z $pattern ]]; then
        compgen -f -- "$typed"
    else
        compgen -d -- "$typed"
        compgen -f -X "!$pattern" -- "$typed"
    fi)
}

_otk5530_cli() {
    COMPREPLY=()
    _otk5530_cli_split
    local count=${#_otk5530_cli_words[@]}
    local raw=${_otk5530_cli_words[count - 1]}
    local prev=""
    ((count > 1)) && prev=${_otk5530_cli_words[count - 2]}
    _otk5530_cli_prefix=""
    if [[ $raw == --*=* ]]; then
        prev=${raw%%=*}
        _otk5530_cli_prefix=$prev=
    fi

    # The verb and the positional arguments before the cursor: options and their values are
    # skipped wherever they stand.
    local verbs="scan info read write temps dump log save recall diff limits status sensors serve"
    local with_value=" --adapter --address --format -o --mask --interval --duration --samples --channels --comment --listen --board "
    local verb="" positional=0 i word
    for ((i = 1; i < count - 1; i++)); do
        word=${_otk5530_cli_words[i]}
        if [[ $with_value == *" $word "* ]]; then
            ((i++))
        elif [[ $word == -* ]]; then
            continue
        elif [[ -z $verb ]]; then
            verb=$word
        else
            ((positional++))
        fi
    done

    case $prev in
    --adapter)
        local adapters=(sim usb) bus
        for bus in /dev/i2c-*; do
            [[ -e $bus ]] && adapters+=("i2c:$bus" "i2c:$bus,force")
        done
        _otk5530_cli_offer plain "$raw" "${adapters[@]}"
        return
        ;;
    --format)
        local formats=(text json ndjson csv)
        case $verb in
        log) formats+=(otk prom) ;;
        temps) formats+=(prom) ;;
        dump) formats+=(i2cdump) ;;
        scan) formats+=(i2cdetect) ;;
        esac
        _otk5530_cli_offer plain "$raw" "${formats[@]}"
        return
        ;;
    -o)
        _otk5530_cli_files "$raw"
        return
        ;;
    --channels)
        # A comma list: offer the channels not yet in it after the part already typed.
        local typed done_part channel choices=()
        typed=$(_otk5530_cli_unquote "${raw#"$_otk5530_cli_prefix"}")
        done_part=""
        [[ $typed == *,* ]] && done_part=${typed%,*},
        for channel in local remote1 remote2; do
            [[ ,$done_part == *,$channel,* ]] || choices+=("$done_part$channel")
        done
        _otk5530_cli_offer plain "$raw" "${choices[@]}"
        return
        ;;
    --address | --mask | --interval | --duration | --samples | --comment | --listen | --board)
        return
        ;;
    esac

    if [[ $raw == -* ]]; then
        local options=(--adapter --address --format -o -y -h --help --version)
        case $verb in
        write) options+=(--mask) ;;
        temps) options+=(--watch --interval) ;;
        log) options+=(--interval --duration --samples --channels) ;;
        save) options+=(--changed-only --comment) ;;
        recall) options+=(--dry-run) ;;
        limits) options+=(--force) ;;
        serve) options+=(--listen --board) ;;
        esac
        _otk5530_cli_offer plain "$raw" "${options[@]}"
        return
    fi

    local names=()
    case $verb in
    "")
        # shellcheck disable=SC2086
        _otk5530_cli_offer plain "$raw" $verbs
        ;;
    read)
        mapfile -t names < <(_otk5530_cli_registers_for all)
        _otk5530_cli_offer names "$raw" "${names[@]}"
        ;;
    write)
        if ((positional == 0)); then
            mapfile -t names < <(_otk5530_cli_registers_for rw)
            _otk5530_cli_offer names "$raw" "${names[@]}"
        fi
        ;;
    save)
        ((positional == 0)) && _otk5530_cli_files "$raw"
        ;;
    recall | diff)
        ((positional == 0)) && _otk5530_cli_files "$raw" "*.sav"
        ;;
    limits)
        local limits=() channel kind
        for channel in local remote1 remote2; do
            for kind in high low therm; do
                limits+=("$channel.$kind")
            done
        done
        _otk5530_cli_offer plain "$raw" "${limits[@]}"
        ;;
    esac
}

complete -F _otk5530_cli otk5530-cli
