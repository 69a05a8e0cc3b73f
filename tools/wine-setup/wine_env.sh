# shellcheck shell=bash
# The one environment the tree's scripts run Wine in (sourced by ./run, the Windows screenshots
# and the start-up benchmark): the tree's own prefix under build/ (made Windows 10 with its font
# faces mapped by the windows preset's first test, wine_prefix_setup, or by tessel-wine-setup.exe),
# Wine's debugging messages off, Wine's Mono and Gecko installers never run, and each run on a
# virtual X display of its own (Xvfb).

WINE_ENVIRONMENT=(
    "WINEPREFIX=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/build/wineprefix"
    "WINEDEBUG=-all"
    "WINEDLLOVERRIDES=mscoree,mshtml=d"
)

# under_wine [--screen WxHxD] SCRIPT [ARGUMENT...]: runs the bash SCRIPT (the arguments as $1,
# $2, ...) in the Wine environment on a virtual X display (xvfb-run's default screen unless
# --screen gives one), then stops the prefix's Wine server, whatever the script did. Its exit
# status is the script's.
under_wine() {
    local xvfb=(-a)
    if [ "${1:-}" = --screen ]; then
        xvfb+=(-s "-screen 0 $2")
        shift 2
    fi
    local script=$1
    shift
    # In a subshell of its own, so that an exit or set -e in it still reaches the Wine server's end.
    # shellcheck disable=SC2016  # $? and $rc belong to the script under Wine
    env "${WINE_ENVIRONMENT[@]}" xvfb-run "${xvfb[@]}" bash -c "(
$script
)"'
rc=$?
wineserver -k 2>/dev/null || true
exit $rc' - "$@"
}
