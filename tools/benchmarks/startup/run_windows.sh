#!/usr/bin/env bash
# Start-up time under Wine and Xvfb to the first painted dialog: tessel.exe against a minimal
# Win32 dialog program built the same way (mingw-w64, static runtime, the same manifest),
# interleaved, RUNS times each (default 20).
set -euo pipefail
root="$(cd "$(dirname "$0")/../../.." && pwd)"
runs="${RUNS:-20}"
cd "$root"
cmake --preset windows >/dev/null
cmake --build --preset windows --target tessel minimal-dialog startup-probe tessel-wine-setup >/dev/null
# shellcheck source=tools/wine-setup/wine_env.sh
source "$root/tools/wine-setup/wine_env.sh"
bin="$root/build/windows"
out="$(mktemp)"
trap 'rm -f "$out"' EXIT
# shellcheck disable=SC2016  # expanded by the script under Wine
under_wine --screen 1024x768x24 '
    wineboot -i >/dev/null 2>&1
    wine "$1/tools/wine-setup/tessel-wine-setup.exe" >/dev/null 2>&1
    wine "$1/tools/benchmarks/startup/startup-probe.exe" "$2" \
        "$1/tools/benchmarks/startup/minimal-dialog.exe" "$1/src/app/tessel.exe" >"$3" 2>&1' \
    "$bin" "$runs" "$out"
echo "start-up to the first painted window under Wine, $runs runs each, interleaved:"
cat "$out"
ls -l "$bin/src/app/tessel.exe" "$bin/tools/benchmarks/startup/minimal-dialog.exe" |
    awk '{printf "%-40s %10d bytes\n", $NF, $5}'
