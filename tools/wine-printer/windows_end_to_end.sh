#!/usr/bin/env bash
# tessel-cli.exe under Wine against the emulated printer, through the Windows discovery
# (SetupAPI and the registry) and the Windows device file:
#   - info finds the printer on its port and reads its status and version;
#   - a stand-in build sends no payload to it;
#   - a build with the maker's payloads upgrades it (both payloads accepted, the success end);
#   - the same build fails when the printer drops off the bus during the loader.
# Builds with the maker's payloads run in real time: the upgrade takes about four and a half
# minutes.
#
# usage: windows_end_to_end.sh SIM STAND_IN_CLI_EXE MAKERS_CLI_EXE
#   SIM              the Linux printer emulator (tessel-printer-sim)
#   STAND_IN_CLI_EXE tessel-cli.exe of a build with the stand-in payloads
#   MAKERS_CLI_EXE   tessel-cli.exe of a build with the maker's payloads (or a fixture pair)
# WINEPREFIX names a prefix that has been booted.
set -euo pipefail
[ $# = 3 ] || { sed -n '2,15p' "$0" >&2; exit 2; }
sim=$1 stand_in=$2 makers=$3
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

echo "a stand-in build and a device that could be a printer"
run_case stand_in "$stand_in" -- upgrade --yes
[ "$(status_of stand_in)" != 0 ] || fail "the stand-in build reported success"
[ "$(payloads stand_in loader)" = "0 0" ] || fail "the stand-in build sent a payload"

echo "a whole upgrade"
run_case success "$makers" -- upgrade --yes
[ "$(status_of success)" = 0 ] || fail "upgrade exit status $(status_of success)"
said success "The firmware upgrade is successful." || fail "no success display"
python3 "$events" summary "$work/success.log" | sed 's/^/  /' || fail "not both payloads accepted"

echo "the printer drops off the bus during the loader"
run_case dropped "$makers" --disconnect-after 1000:loader -- upgrade --yes
[ "$(status_of dropped)" = 1 ] || fail "upgrade exit status $(status_of dropped), not 1"
said dropped "The firmware upgrade is failed." || fail "no failure display"
[ "$(payloads dropped loader)" = "1 0" ] || fail "the loader was not cut off"
[ "$(payloads dropped firmware)" = "0 0" ] || fail "a firmware image was sent"

wineserver -k 2>/dev/null || true
[ "$failures" = 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "all Windows end-to-end checks passed"
