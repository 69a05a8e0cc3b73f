#!/usr/bin/env bash
# The Linux desktop application on a virtual X server (Xvfb, no window manager):
# 1. start-up to the first painted window: tessel against a minimal Qt Widgets program built the
#    same way (the linux preset, the same Qt), interleaved, RUNS times each (default 20);
# 2. peak memory (VmHWM, the most resident memory) of tessel during a whole upgrade of the
#    emulated printer on a compressed clock, driven by tools/demo/drive_window.sh, beside the
#    minimal program's once it has painted.
set -euo pipefail
root="$(cd "$(dirname "$0")/../../.." && pwd)"
runs="${RUNS:-20}"
scale="${TIME_SCALE:-0.01}"
cd "$root"
cmake --preset linux >/dev/null
cmake --build --preset linux --target tessel minimal-qt startup-probe-x11 tessel-printer-sim >/dev/null
bin="$root/build/linux"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

cat >"$work/measure.sh" <<SH
set -euo pipefail
export XDG_RUNTIME_DIR="$work/runtime" TESSEL_SYSFS_ROOT="$work/no-printers"
mkdir -p -m 700 "$work/runtime" "$work/no-printers"
echo "start-up to the first painted window, $runs runs each, interleaved:"
"$bin/tools/benchmarks/startup/startup-probe-x11" $runs \
    "$bin/tools/benchmarks/startup/minimal-qt" "$bin/src/app/tessel" 2>/dev/null

"$bin/tools/benchmarks/startup/minimal-qt" 2>/dev/null &
minimal=\$!
sleep 2
echo "minimal-qt, painted:        peak \$(awk '/^VmHWM:/ {print \$2, \$3}' /proc/\$minimal/status)"
kill \$minimal

unset TESSEL_SYSFS_ROOT
"$bin/tools/printer-sim/tessel-printer-sim" --time-scale $scale --log "$work/emulator.log" \
    >"$work/roots" 2>"$work/emulator.err" &
sim=\$!
for _ in \$(seq 100); do
    [ "\$(grep -c '^TESSEL_' "$work/roots" 2>/dev/null)" = 2 ] && break
    sleep 0.1
done
export \$(grep '^TESSEL_' "$work/roots")
start=\$(date +%s.%N)
TESSEL_TIME_SCALE=$scale "$bin/src/app/tessel" >/dev/null 2>&1 &
gui=\$!
peak=\$(tools/demo/drive_window.sh \$gui | awk '/^peak-rss-kib/ {print \$2}')
wait \$gui
end=\$(date +%s.%N)
kill \$sim; wait \$sim || true
echo "tessel, whole upgrade:      peak \$peak kB (\$(awk "BEGIN {printf \\"%.1f\\", \$end - \$start}") s, time scale $scale)"
python3 tools/demo/emulator_log.py summary "$work/emulator.log" | sed 's/^/  /'
SH
xvfb-run -a -s "-screen 0 1024x768x24" bash "$work/measure.sh"
ls -l "$bin/src/app/tessel" "$bin/tools/benchmarks/startup/minimal-qt" |
    awk '{printf "%-60s %10d bytes\n", $NF, $5}'
