#!/usr/bin/env bash
# Completes tarnbus-cli command lines as bash does, with the completion the
# package installs (run from the repository root).
set -uo pipefail
export LC_ALL=C
source /usr/share/bash-completion/bash_completion
source packaging/bash-completion/tarnbus-cli

failures=0

# complete LINE: the sorted candidates for the end of LINE.
complete_line()
{
    COMP_LINE=$1
    COMP_POINT=${#COMP_LINE}
    read -r -a COMP_WORDS <<< "$COMP_LINE"
    [[ $COMP_LINE == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _tarnbus_cli tarnbus-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ' | sed 's/ $//'
}

expect()
{
    local line=$1 wanted=$2 got
    got=$(complete_line "$line")
    if [[ $got != "$wanted" ]]; then
        printf 'FAIL  "%s"\n  wanted: %s\n  got:    %s\n' "$line" "$wanted" "$got"
        failures=$((failures + 1))
    else
        printf 'ok    "%s" -> %s\n' "$line" "$got"
    fi
}

demo=sim/buses/demo.json
expect "tarnbus-cli sh" "show"
expect "tarnbus-cli set-" "set-io set-param set-station"
expect "tarnbus-cli add" "add-description"
expect "tarnbus-cli export --u" "--uid"
expect "tarnbus-cli upgrade --a" "--adapter --alignment --all --any-category"
expect "tarnbus-cli --alig" "--alignment"
expect "tarnbus-cli --alignment " "1 8"
expect "tarnbus-cli --tr" "--trace"
expect "tarnbus-cli show --st" "--stats"
expect "tarnbus-cli --bus sim/buses/de" "$demo"
expect "tarnbus-cli --bus $demo --adapter " "3C2E0A000001"
expect "tarnbus-cli --bus $demo set-station DA01B2C3D40" "DA01B2C3D400 DA01B2C3D401 DA01B2C3D402 DA01B2C3D403 DA01B2C3D404 DA01B2C3D405 DA01B2C3D406 DA01B2C3D407 DA01B2C3D408 DA01B2C3D409 DA01B2C3D40A DA01B2C3D40B DA01B2C3D40C DA01B2C3D40D DA01B2C3D40E DA01B2C3D40F"
expect "tarnbus-cli --bus $demo lamp 1" "1 10 11 12 13"
expect "tarnbus-cli --bus $demo lamp 7 " "off on"
expect "tarnbus-cli settings th" "threshold="
expect "tarnbus-cli help up" "upgrade"
expect "tarnbus-cli show " ""

[[ $failures -eq 0 ]] || { echo "$failures completion(s) wrong"; exit 1; }
