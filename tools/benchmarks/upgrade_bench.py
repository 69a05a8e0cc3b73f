#!/usr/bin/env python3
"""Whole emulated upgrades, measured side by side with a baseline in the same run.

  upgrade_bench.py BUILD_DIR [ROUNDS]

1. The firmware image at full-speed USB: the emulator takes 1.2 MB/s (printer time), and the
   transfer's duration is set against the progress animation's window (100 ticks of 2.8 s from
   the start of the restart wait; the fixed sleeps take 258 s of its 280 s).
2. CPU time and peak memory of `tessel-cli upgrade` against `cat` of the firmware image into the
   same emulated printer's pseudo-terminal, and against `tessel-cli --version` (start-up only).
"""
import json
import os
import signal
import statistics
import subprocess
import sys
import tempfile
import time

FULL_SPEED_USB = 1_200_000  # bytes per second
TICKS, TICK_S = 100, 2.8
RESTART_SLEEP_S, BURN_WAIT_S = 54, 204


class Emulator:
    def __init__(self, sim, scale, *flags):
        self.log = tempfile.NamedTemporaryFile(prefix="tessel-bench-", suffix=".log", delete=False)
        self.proc = subprocess.Popen(
            [sim, "--time-scale", str(scale), "--log", self.log.name, *flags],
            stdout=subprocess.PIPE, text=True)
        self.env = dict(os.environ)
        for _ in range(2):
            name, _, value = self.proc.stdout.readline().strip().partition("=")
            self.env[name] = value
        self.env.update({"TESSEL_TIME_SCALE": str(scale), "LANG": "C",
                         "CUPS_SERVER": "/nonexistent/tessel-cups.sock",
                         "XDG_STATE_HOME": tempfile.mkdtemp(prefix="tessel-bench-state-")})
        # The roots come before the printer: wait until it is on the bus.
        deadline = time.monotonic() + 10
        while not any(e["event"] == "appear" for e in self.events()):
            if time.monotonic() > deadline:
                sys.exit("the emulated printer did not appear")
            time.sleep(0.01)

    def node(self):
        return os.path.join(self.env["TESSEL_DEV_ROOT"], "usb", "lp0")

    def events(self):
        with open(self.log.name) as f:
            return [json.loads(line) for line in f if line.startswith("{")]

    def stop(self):
        self.proc.send_signal(signal.SIGTERM)
        self.proc.wait()
        os.unlink(self.log.name)


def measured(cmd, env, stdin=None, stdout=subprocess.DEVNULL):
    """Runs `cmd` under GNU time (a small C parent: a child forked from this interpreter would
    count the interpreter's pages as its own); returns (exit status, wall s, CPU s, peak
    resident KiB)."""
    with tempfile.NamedTemporaryFile(mode="r") as out:
        status = subprocess.run(["/usr/bin/time", "-f", "%e %U %S %M", "-o", out.name, *cmd],
                                env=env, stdin=stdin, stdout=stdout,
                                stderr=subprocess.DEVNULL).returncode
        wall, user, system, rss = out.read().split()[-4:]
    return status, float(wall), float(user) + float(system), int(rss)


def full_speed_usb(cli, sim):
    scale = 0.05
    emulator = Emulator(sim, scale, "--throughput", str(FULL_SPEED_USB))
    try:
        status, *_ = measured([cli, "upgrade", "--yes", "--no-confirm"], emulator.env)
        payloads = {e["kind"]: e for e in emulator.events() if e["event"] == "payload"}
    finally:
        emulator.stop()
    loader, firmware = payloads.get("loader"), payloads.get("firmware")
    if status != 0 or not loader or not firmware or not firmware["valid"]:
        sys.exit(f"the capped upgrade did not succeed (exit {status})")
    transfer_s = firmware["duration_ms"] / 1000
    # From the end of the loader (the restart wait and the animation begin) to the end of the
    # firmware image, in printer time.
    loader_end_s = (loader["started_t_ms"] + loader["duration_ms"]) / 1000
    firmware_end_s = (firmware["started_t_ms"] + firmware["duration_ms"]) / 1000
    window_s = TICKS * TICK_S
    budget_s = window_s - RESTART_SLEEP_S - BURN_WAIT_S
    used_s = firmware_end_s - loader_end_s - RESTART_SLEEP_S
    print("Firmware image at full-speed USB (emulator capped at 1.2 MB/s, printer time, "
          f"time scale {scale}):")
    print(f"  transfer: {transfer_s:6.1f} s  ({firmware['size'] / transfer_s / 1e6:.2f} MB/s)")
    print(f"  the animation's window after the fixed sleeps: {budget_s:.0f} s of {window_s:.0f} s")
    print(f"  ratio transfer / window: {transfer_s / budget_s:.2f}")
    print(f"  polls and transfer after the restart sleep: {used_s:.1f} s; the animation runs out "
          f"{max(0.0, used_s - budget_s):.1f} s before the success display")


def cpu_and_memory(cli, sim, payload_dir, rounds):
    scale = 0.01
    firmware = os.path.join(payload_dir, "firmware.bin")
    rows = {"tessel-cli upgrade": [], "cat firmware.bin > pty": [], "tessel-cli --version": []}
    for _ in range(rounds):
        emulator = Emulator(sim, scale)
        try:
            status, *m = measured([cli, "upgrade", "--yes", "--no-confirm"], emulator.env)
            if status != 0:
                sys.exit(f"the upgrade failed (exit {status})")
            rows["tessel-cli upgrade"].append(m)
        finally:
            emulator.stop()
        emulator = Emulator(sim, scale)
        try:
            with open(firmware, "rb") as src:
                dst = os.open(emulator.node(), os.O_WRONLY)
                status, *m = measured(["cat"], emulator.env, stdin=src, stdout=dst)
                os.close(dst)
            if status != 0:
                sys.exit(f"cat into the printer's pseudo-terminal failed (exit {status})")
            rows["cat firmware.bin > pty"].append(m)
        finally:
            emulator.stop()
        _, *m = measured([cli, "--version"], dict(os.environ))
        rows["tessel-cli --version"].append(m)
    print(f"\nCPU time and peak memory, medians of {rounds} rounds (time scale {scale}):")
    med = {name: [statistics.median(v[i] for v in runs) for i in range(3)]
           for name, runs in rows.items()}
    for name, (wall, cpu, rss) in med.items():
        print(f"  {name:24} wall {wall:6.2f} s  CPU {cpu:6.3f} s  peak {rss / 1024:6.1f} MiB")
    up, cat = med["tessel-cli upgrade"], med["cat firmware.bin > pty"]
    empty = med["tessel-cli --version"]
    print(f"  ratio upgrade / cat: CPU {up[1] / cat[1]:.1f}, peak memory {up[2] / cat[2]:.1f}")
    print(f"  peak memory upgrade / --version: {up[2] / empty[2]:.1f} "
          f"(+{(up[2] - empty[2]) / 1024:.1f} MiB for the run)")


def main():
    build = sys.argv[1]
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 3
    cli = os.path.join(build, "src/app/tessel-cli")
    sim = os.path.join(build, "tools/printer-sim/tessel-printer-sim")
    full_speed_usb(cli, sim)
    cpu_and_memory(cli, sim, os.path.join(build, "payloads"), rounds)


if __name__ == "__main__":
    main()
