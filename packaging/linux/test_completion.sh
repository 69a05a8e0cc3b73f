#!/usr/bin/env bash
# test_completion.sh COMPLETION TESSEL_CLI: completes each command and option of tessel-cli in
# a real bash, and checks that the completion offers exactly the commands and options that
# tessel-cli --help names.
set -uo pipefail
completion=$1 cli=$2
# shellcheck source=/dev/null
source "$completion"
failed=0

complete_line() {  # <words...>: the completions offered for the last word
    COMP_WORDS=("$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _tessel_cli
    printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ' | sed 's/ $//'
}

expect() {  # <expected> <words...>
    local expected=$1 got
    shift
    got=$(complete_line "$@")
    if [ "$got" != "$expected" ]; then
        echo "tessel-cli $*: offered '$got', expected '$expected'" >&2
        failed=1
    fi
}

expect "--help --version info log upgrade" tessel-cli ""
expect "upgrade" tessel-cli up
expect "info" tessel-cli i
expect "--version" tessel-cli --v
expect "--json --no --no-confirm --printer --yes" tessel-cli upgrade ""
expect "--no --no-confirm" tessel-cli upgrade --no
expect "--json --no-confirm --printer" tessel-cli upgrade --yes ""
expect "--json --no-confirm --printer" tessel-cli upgrade -n ""
expect "--no-confirm --printer" tessel-cli upgrade --yes --json ""
expect "--printer" tessel-cli upgrade --p
expect "" tessel-cli upgrade --printer ""
expect "" tessel-cli upgrade --printer S
expect "" tessel-cli upgrade --printer=S
expect "--json --no --no-confirm --yes" tessel-cli upgrade --printer SER1 ""
expect "--json --no --no-confirm --yes" tessel-cli upgrade --printer=SER1 ""
expect "--json --printer" tessel-cli info ""
expect "--printer" tessel-cli info --json ""
expect "" tessel-cli info --json --printer /dev/usb/lp0 ""
expect "" tessel-cli log ""

# The commands and options that --help names, the short forms left out.
help_words=$("$cli" --help | grep -oE '(^| |\[|\|)(--[a-z-]+|upgrade|info|log)\b' |
    tr -d ' [|' | sort -u | tr '\n' ' ' | sed 's/ $//')
offered=$( (complete_line tessel-cli ""; echo; complete_line tessel-cli upgrade ""; echo
            complete_line tessel-cli info "") | tr ' ' '\n' | grep . | sort -u | tr '\n' ' ' |
           sed 's/ $//')
if [ "$help_words" != "$offered" ]; then
    echo "--help names '$help_words', the completion offers '$offered'" >&2
    failed=1
fi
exit $failed
