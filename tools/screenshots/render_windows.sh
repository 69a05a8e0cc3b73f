#!/usr/bin/env bash
# Renders every display of the Windows dialogs (start, progress, success, failure, not ready,
# not ready with the system's reason, the notice and the question) in all eight languages into docs/screenshots/<lang>-<display>.png,
# under Wine on a virtual X server. Builds the windows preset's render_display and Wine prefix
# tool first.
#   tools/screenshots/render_windows.sh [out-dir]
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
out="${1:-$root/docs/screenshots}"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
cd "$root"
cmake --preset windows >/dev/null
cmake --build --preset windows --target render_display tessel-wine-setup >/dev/null

# shellcheck source=tools/wine-setup/wine_env.sh
source "$root/tools/wine-setup/wine_env.sh"
bin="$root/build/windows"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"

# language name, LANGID (hex)
languages=(en:0409 zh-CN:0804 zh-TW:0404 ja:0411 ru:0419 tr:041F it:0410 he:040D)
displays=(start progress success failure notready notready-reason notice question)

cat >"$work/render.sh" <<SH
set -e
wineboot -i >/dev/null 2>&1
wine "$bin/tools/wine-setup/tessel-wine-setup.exe" >"$work/setup.log" 2>&1
for entry in ${languages[*]}; do
    for display in ${displays[*]}; do
        wine "$bin/tools/screenshots/render_display.exe" "\${entry#*:}" "\$display" \
            "$work/\${entry%%:*}-\$display.bmp" >"$work/render.log" 2>&1 ||
            { cat "$work/render.log" >&2; exit 1; }
    done
done
SH
# shellcheck disable=SC2016  # expanded by the script under Wine
under_wine --screen 1024x768x24 'bash "$1"' "$work/render.sh"

for bmp in "$work"/*.bmp; do
    python3 "$root/tools/screenshots/bmp_to_png.py" "$bmp" "$out/$(basename "${bmp%.bmp}").png"
done
echo "$(ls "$out"/*.png | wc -l) screenshots in $out"
