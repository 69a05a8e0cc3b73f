#!/usr/bin/env bash
# tessel-cli.exe and tessel.exe under Wine against the emulated printer, through the Windows
# discovery (SetupAPI and the registry) and the Windows device file:
#   - info finds the printer on its port and reads its status and version;
#   - a stand-in build sends no payload to it;
#   - a build with the maker's payloads upgrades it (both payloads accepted, the success end),
#     with tessel-cli.exe and through tessel.exe's main dialog (its start button pressed by
#     tessel-dialog-driver.exe, the end display's texts read back);
#   - the same builds fail when the printer drops off the bus during the loader.
# Builds with the maker's payloads run in real time: each whole upgrade takes about four and a
# half minutes.
#
# usage: windows_end_to_end.sh SIM STAND_IN_BUILD MAKERS_BUILD
#   SIM            the Linux printer emulator (tessel-printer-sim)
#   STAND_IN_BUILD a Windows build tree with the stand-in payloads (it also gives the driver)
#   MAKERS_BUILD   a Windows build tree with the maker's payloads (or a fixture pair)
# WINEPREFIX names a prefix that has been booted; DISPLAY a display for the dialog.
set -euo pipefail
[ $# = 3 ] || { sed -n '2,18p' "$0" >&2; exit 2; }
sim=$1
stand_in=$2/src/app/tessel-cli.exe
makers=$3/src/app/tessel-cli.exe
# The first Wine command starts the Wine server; its error output is kept out of the checks'. The
# server opens the printer's pseudo-terminal as its controlling terminal, so each time the printer
# drops off the bus it gets a hangup signal, on which a debugging build of it dumps every object.
makers_dialog=$(winepath -w "$3/src/app/tessel.exe" 2>/dev/null)
driver=$2/tools/wine-printer/tessel-dialog-driver.exe
dialog_bound_s=420
: "${WINEPREFIX:?WINEPREFIX names the Wine prefix}"
here=$(dirname "$(readlink -f "$0")")
harness=$here/wine_printer.py
events=$here/../demo/emulator_log.py
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
    echo "  FAILED: $*" >&2
    failures=$((failures + 1))
}

# <name> <exe> <emulator options> -- <tessel-cli arguments>: runs tessel-cli.exe against an
# emulated printer; its output in $work/<name>.out, its exit status in $work/<name>.rc, the
# emulator's log in $work/<name>.log.
run_case() {
    local name=$1 exe=$2 sim_options=() start
    shift 2
    while [ "$1" != -- ]; do sim_options+=("$1"); shift; done
    shift
    start=$SECONDS
    OUT="$work/$name.out" RC="$work/$name.rc" \
        python3 "$harness" --log "$work/$name.log" -- "$sim" "${sim_options[@]}" -- \
        bash -c 'wine "$@" >"$OUT" 2>"$OUT.err"; echo $? >"$RC"' - "$exe" "$@" \
        2>"$work/$name.err" || true
    echo "$name: $((SECONDS - start)) s, exit status $(cat "$work/$name.rc" 2>/dev/null)"
    cat "$work/$name.out" "$work/$name.out.err" 2>/dev/null | tr -d '\r' | grep -v '^\[' |
        sed 's/^/  | /' || true
    cat "$work/$name.err" >&2
}

# <name> <kind>: how many payloads of a kind the emulator took, and how many it began.
payloads() {
    python3 - "$work/$1.log" "$2" <<'PY'
import json, sys
events = [json.loads(l) for l in open(sys.argv[1]) if l.startswith("{")]
kind = sys.argv[2]
started = sum(e["event"] == "payload_start" and e["kind"] == kind for e in events)
valid = sum(e["event"] == "payload" and e["kind"] == kind and e["valid"] for e in events)
print(f"{started} {valid}")
PY
}

status_of() { cat "$work/$1.rc" 2>/dev/null || echo none; }
said() { tr -d '\r' <"$work/$1.out" | grep -qF -- "$2"; }

echo "info through the Windows discovery"
run_case info "$stand_in" -- info --json
python3 - "$work/info.out" <<'PY' || fail "info did not report the emulated printer"
import json, sys
doc = json.loads(open(sys.argv[1], encoding="utf-8").read())
[p] = doc["printers"]
expected = {"name": "Bexlot r7200 Series", "port": "USB001", "status": 0, "version": "3.3.2.9",
            "device_path": "\\\\?\\usb#vid_7a3c&pid_0c12#ser1#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}"}
wrong = {k: p.get(k) for k, v in expected.items() if p.get(k) != v}
if wrong:
    sys.exit(f"  unexpected fields: {wrong}")
PY
[ "$(status_of info)" = 0 ] || fail "info exit status $(status_of info)"

echo "info on a printer that answers no query ends within seconds"
start=$SECONDS
run_case silent "$stand_in" --no-answer all -- info --json
[ "$(status_of silent)" = 0 ] || fail "info exit status $(status_of silent)"
[ $((SECONDS - start)) -lt 30 ] || fail "info took $((SECONDS - start)) s on a silent printer"

echo "a stand-in build and a device that could be a printer"
run_case stand_in "$stand_in" -- upgrade --yes
[ "$(status_of stand_in)" != 0 ] || fail "the stand-in build reported success"
[ "$(payloads stand_in loader)" = "0 0" ] || fail "the stand-in build sent a payload"

echo "a whole upgrade"
run_case success "$makers" -- upgrade --yes
[ "$(status_of success)" = 0 ] || fail "upgrade exit status $(status_of success)"
said success "The firmware upgrade is successful." || fail "no success display"
said success "-- burning into flash, 3:24 left" || fail "no burning phase"
python3 "$events" summary "$work/success.log" | sed 's/^/  /' || fail "not both payloads accepted"

echo "the printer drops off the bus during the loader (the run as JSON lines)"
run_case dropped "$makers" --disconnect-after 1000:loader -- upgrade --yes --json
[ "$(status_of dropped)" = 1 ] || fail "upgrade exit status $(status_of dropped), not 1"
python3 - "$work/dropped.out" <<'PY' || fail "not the JSON stream of a failed run"
import json, sys
events = [json.loads(line) for line in open(sys.argv[1], encoding="utf-8") if line.strip()]
phases = []
for e in events:
    if e["event"] == "phase" and (not phases or phases[-1] != e["phase"]):
        phases.append(e["phase"])
displays = [e["display"] for e in events if e["event"] == "display"]
if phases[:3] != ["checking_printer", "reading_version", "sending_loader"]:
    sys.exit(f"  phases: {phases}")
if displays[-1:] != ["failure"] or events[-1] != {"event": "exit", "status": 1}:
    sys.exit(f"  displays: {displays}, last: {events[-1]}")
PY
[ "$(payloads dropped loader)" = "1 0" ] || fail "the loader was not cut off"
[ "$(payloads dropped firmware)" = "0 0" ] || fail "a firmware image was sent"

echo "a whole upgrade through the main dialog"
run_case dialog "$driver" -- "$makers_dialog" "$dialog_bound_s"
[ "$(status_of dialog)" = 0 ] || fail "no end display read from the dialog"
said dialog "result: The firmware upgrade is successful." || fail "no success display"
[ "$(payloads dialog firmware)" = "1 1" ] || fail "the firmware image was not accepted"

echo "the printer drops off the bus during the loader, through the main dialog"
run_case dialog_dropped "$driver" --disconnect-after 1000:loader -- "$makers_dialog" \
    "$dialog_bound_s"
[ "$(status_of dialog_dropped)" = 0 ] || fail "no end display read from the dialog"
said dialog_dropped "result: The firmware upgrade is failed." || fail "no failure display"
[ "$(payloads dialog_dropped firmware)" = "0 0" ] || fail "a firmware image was sent"

wineserver -k 2>/dev/null || true
[ "$failures" = 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "all Windows end-to-end checks passed"
