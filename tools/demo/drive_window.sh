#!/usr/bin/env bash
# Drives the desktop application's upgrade on an X display as a user would, with the keyboard:
#   tools/demo/drive_window.sh <pid of tessel>
# Focuses its window, moves from the instruction text to the start button and presses it,
# answers every message dialog with its default button (Yes, OK), and presses Escape on the
# main window every second once the upgrade has had time to start: the window refuses to close
# while the upgrade runs and closes once it shows the result. Before it closes, prints the
# process's peak memory (VmHWM) as "peak-rss-kib <n>".
set -euo pipefail
pid=$1
main=$(xdotool search --sync --onlyvisible --pid "$pid" 2>/dev/null | head -1)
xdotool windowactivate --sync "$main" 2>/dev/null || xdotool windowfocus --sync "$main"
sleep 0.5  # the first paint
xdotool key Tab space
sleep 2
peak=0
while kill -0 "$pid" 2>/dev/null; do
    hwm=$(awk '/^VmHWM:/ {print $2}' "/proc/$pid/status" 2>/dev/null || echo 0)
    [ "${hwm:-0}" -gt "$peak" ] && peak=$hwm
    dialog=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | grep -vx "$main" | head -1 || true)
    if [ -n "$dialog" ]; then
        xdotool windowactivate --sync "$dialog" 2>/dev/null || xdotool windowfocus "$dialog"
        xdotool key Return
    else
        xdotool windowactivate "$main" 2>/dev/null || xdotool windowfocus "$main" 2>/dev/null || true
        xdotool key Escape
    fi
    sleep 1
done
echo "peak-rss-kib $peak"
