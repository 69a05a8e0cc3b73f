#!/usr/bin/env bash
# test_man_pages.sh TESSEL_CLI PAGE.gz...: each manual page renders without a warning from man
# (groff's, as lintian checks them too), and the first, tessel-cli(1), names every command and
# option that tessel-cli --help names.
set -uo pipefail
cli=$1
shift
failed=0
for page in "$@"; do
    rendered=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>"$page.warnings")
    if [ -s "$page.warnings" ] || [ -z "$rendered" ]; then
        echo "$page: man warns or renders nothing:" >&2
        cat "$page.warnings" >&2
        failed=1
    fi
    rm -f "$page.warnings"
done
help_words=$("$cli" --help | grep -oE '(^| |\[|\|)(--[a-z-]+|upgrade|info|log)\b' | tr -d ' [|' |
    sort -u)
rendered=$(LC_ALL=C.UTF-8 MANWIDTH=200 man -E UTF-8 -l "$1" 2>/dev/null)
for word in $help_words; do
    grep -qe "$word" <<<"$rendered" || {
        echo "$1 does not name $word" >&2
        failed=1
    }
done
exit $failed
