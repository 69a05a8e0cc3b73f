#!/usr/bin/env bash
# Renders every display of the Linux window (start, progress, success, failure, not ready, not
# ready with the system's reason, the notice and the question) in all eight languages into docs/screenshots/linux/<lang>-<display>.png,
# offscreen. Builds the linux preset's render_qt first.
#   tools/screenshots/render_linux.sh [out-dir]
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
out="${1:-$root/docs/screenshots/linux}"
mkdir -p "$out"
cd "$root"
cmake --preset linux >/dev/null
cmake --build --preset linux --target render_qt >/dev/null
QT_QPA_PLATFORM=offscreen build/linux/tools/screenshots/render_qt "$out"
