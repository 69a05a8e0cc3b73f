#!/usr/bin/env python3
"""The printer emulator's JSON-lines log in plain words, for the demo.

  emulator_log.py follow LOG [READY]
                                prints each event as it is written, until the emulator stops;
                                creates the file READY once it has caught up with the log
  emulator_log.py summary LOG   sums the run up; exit status 0 only when both the loader and
                                the firmware image were accepted
"""
import json
import sys
import time

FOLLOW_LIMIT_S = 120  # a bound, in case the emulator never writes its stop event


def reply_field(event):
    """The status byte or version text of a reply, from its hex bytes."""
    data = bytes.fromhex(event.get("bytes", ""))
    if event.get("code") == "0xFF87" and len(data) >= 7:
        return f"status {data[6]}"
    if event.get("code") == "0xFF21":
        return "version " + data[16:].decode("ascii", "replace")
    return event.get("code", "")


def describe(event):
    kind = event.get("event")
    if kind == "appear":
        if event.get("mode") == "loader":
            return f"back on the bus as {event['node']}, running the loader"
        return f"on the bus as {event['node']}, firmware {event['version']}"
    if kind == "command":
        return f"{event['name']} query received"
    if kind == "reply":
        return "answers " + reply_field(event)
    if kind == "payload_start":
        return f"receiving the {event['kind']} ({event['size']:,} bytes)"
    if kind == "payload":
        if event.get("valid"):
            return (f"{event['kind']} accepted: {event['size']:,} bytes in "
                    f"{event['duration_ms'] / 1000:.1f} s, envelope, checksum and MD5 good")
        return f"{event['kind']} REJECTED: {event.get('reason')}"
    if kind == "disconnect":
        return f"drops off the bus ({event['reason']})"
    if kind == "burn_start":
        return f"burning the image into flash ({event['burn_ms'] / 1000:.0f} s)"
    if kind == "burn_end":
        return f"burn finished, firmware {event['version']}"
    if kind in ("no_answer", "framing_error", "unknown_object"):
        return f"{kind.replace('_', ' ')}: {json.dumps(event)}"
    return None  # start, stop, job, pjl: nothing to add


def events(lines):
    for line in lines:
        line = line.strip()
        if line.startswith("{"):
            try:
                yield json.loads(line)
            except json.JSONDecodeError:
                pass


def follow(path, ready=None):
    deadline = time.monotonic() + FOLLOW_LIMIT_S
    with open(path, encoding="utf-8") as log:
        pending = ""
        while time.monotonic() < deadline:
            chunk = log.readline()
            if not chunk:
                if ready and pending == "":
                    open(ready, "w").close()
                    ready = None
                time.sleep(0.005)
                continue
            pending += chunk
            if not pending.endswith("\n"):
                continue
            line, pending = pending, ""
            for event in events([line]):
                if event.get("event") == "stop":
                    return 0
                text = describe(event)
                if text:
                    print(f"  printer    | [{event['t_ms'] / 1000:7.1f} s] {text}", flush=True)
    return 1


def summary(path):
    with open(path, encoding="utf-8") as log:
        all_events = list(events(log))
    payloads = [e for e in all_events if e.get("event") == "payload"]
    accepted = {e["kind"]: e for e in payloads if e.get("valid")}
    for e in payloads:
        verdict = "accepted" if e.get("valid") else f"rejected ({e.get('reason')})"
        print(f"  {e['kind']:<8} {e['size']:>12,} bytes  {verdict}")
    burns = [e for e in all_events if e.get("event") == "burn_end"]
    if burns:
        print(f"  flash burned; the printer now reports firmware {burns[-1]['version']}")
    queries = sum(1 for e in all_events if e.get("event") == "command")
    print(f"  {queries} queries answered, {len(payloads)} payloads received")
    ok = "loader" in accepted and "firmware" in accepted
    print("  both payloads accepted" if ok else "  NOT both payloads accepted")
    return 0 if ok else 1


if __name__ == "__main__":
    if sys.argv[1:2] == ["follow"] and len(sys.argv) in (3, 4):
        sys.exit(follow(*sys.argv[2:]))
    if sys.argv[1:2] == ["summary"] and len(sys.argv) == 3:
        sys.exit(summary(sys.argv[2]))
    print(__doc__, file=sys.stderr)
    sys.exit(2)
