#!/usr/bin/env python3
"""An emulated printer for Windows programs under Wine.

  wine_printer.py [options] -- SIM [SIM OPTIONS...] -- COMMAND [ARGS...]

Starts the Linux printer emulator SIM, registers its first printer in the registry of the Wine
prefix $WINEPREFIX as a present USB printer interface (so that SetupAPI lists it), keeps the
prefix's dosdevices entry for the interface's device path pointing at the printer's current
pseudo-terminal (repointed each time the printer appears, removed while it is off the bus), runs
COMMAND, then stops the emulator and removes the registry keys and the dosdevices entry again.
The exit status is COMMAND's.

Options:
  --serial TEXT        the printer's serial part of its instance ID (default SER1, the
                       emulator's default for its first printer)
  --port-number N      the USB port number stored for the interface (default 1: USB001)
  --log PATH           keep the emulator's log there (default: a temporary file, removed)
  --wine PROGRAM       the Wine loader (default wine)
"""
import json
import os
import signal
import subprocess
import sys
import tempfile
import threading
import time

# The USB printer interface class.
INTERFACE_CLASS = "{28d78fad-5a12-11d1-ae5b-0000f803a8c2}"
DEVICE_CLASSES = r"HKEY_LOCAL_MACHINE\System\CurrentControlSet\Control\DeviceClasses"
ENUM_USB = r"HKEY_LOCAL_MACHINE\System\CurrentControlSet\Enum\USB"
# The setup class of USB devices, for the device element's ClassGUID.
USB_SETUP_CLASS = "{36fc9e60-c465-11cf-8056-444553540000}"
START_LIMIT_S = 20  # for the emulator's roots and its printer's first appearance
FOLLOW_POLL_S = 0.005


def die(message):
    print(f"wine_printer: {message}", file=sys.stderr)
    sys.exit(2)


class Printer:
    """What the registry and dosdevices hold for one emulated printer."""

    def __init__(self, vendor_id, product_id, serial, port_number):
        self.hardware = f"VID_{vendor_id.upper()}&PID_{product_id.upper()}"
        self.instance = f"USB\\{self.hardware}\\{serial}"
        self.interface_key = f"##?#USB#{self.hardware}#{serial}#{INTERFACE_CLASS}"
        self.port_number = port_number
        # The device path SetupAPI gives is \\?\ and this name; Wine opens it through the
        # prefix's dosdevices folder.
        self.dos_name = f"usb#{self.hardware}#{serial}#{INTERFACE_CLASS}".lower()

    def reg_file(self):
        def esc(text):
            return text.replace("\\", "\\\\")

        key = f"{DEVICE_CLASSES}\\{INTERFACE_CLASS}\\{self.interface_key}"
        link = esc("\\\\?\\" + self.dos_name)
        serial = self.instance.rsplit("\\", 1)[1]
        return "\r\n".join([
            "REGEDIT4", "",
            f"[{key}]",
            f'"DeviceInstance"="{esc(self.instance)}"', "",
            f"[{key}\\#]",
            f'"SymbolicLink"="{link}"', "",
            f"[{key}\\#\\Control]",
            '"Linked"=dword:00000001', "",
            f"[{key}\\#\\Device Parameters]",
            f'"Port Number"=dword:{self.port_number:08x}', "",
            f"[{ENUM_USB}\\{self.hardware}\\{serial}]",
            f'"ClassGUID"="{USB_SETUP_CLASS}"', "", ""])

    def keys_to_remove(self):
        return [f"{DEVICE_CLASSES}\\{INTERFACE_CLASS}\\{self.interface_key}",
                f"{ENUM_USB}\\{self.hardware}"]


class Harness:
    def __init__(self, options, sim_command, command):
        self.options = options
        self.sim_command = sim_command
        self.command = command
        self.prefix = os.environ.get("WINEPREFIX") or die("WINEPREFIX is not set")
        self.work = tempfile.mkdtemp(prefix="wine-printer-")
        self.log_path = options["log"] or os.path.join(self.work, "emulator.log")
        self.sim = None
        self.printer = None
        self.link = None
        self.registered = False
        self.stop_following = threading.Event()
        self.follower = None
        self.first_appear = threading.Event()

    def wine(self, *args):
        return subprocess.run([self.options["wine"], *args], stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, check=False).returncode

    def start_emulator(self):
        open(self.log_path, "w").close()
        self.sim = subprocess.Popen([*self.sim_command, "--log", self.log_path],
                                    stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        roots = {}
        deadline = time.monotonic() + START_LIMIT_S
        while len(roots) < 2 and time.monotonic() < deadline:
            line = self.sim.stdout.readline()
            if not line:
                break
            if line.startswith("TESSEL_"):
                name, _, value = line.strip().partition("=")
                roots[name] = value
        if len(roots) < 2:
            self.sim.kill()
            die("the emulator did not start: " + self.sim.stderr.read())

    def point_link(self, pty):
        tmp = self.link + ".new"
        if os.path.lexists(tmp):
            os.unlink(tmp)
        os.symlink(pty, tmp)
        os.replace(tmp, self.link)

    def remove_link(self):
        if self.link and os.path.lexists(self.link):
            os.unlink(self.link)

    def on_event(self, event):
        if event.get("printer", 0) != 0:
            return
        kind = event.get("event")
        if kind == "appear" and "pty" in event:
            if self.printer is None:
                self.printer = Printer(event["vendor_id"], event["product_id"],
                                       self.options["serial"], self.options["port_number"])
                self.link = os.path.join(self.prefix, "dosdevices", self.printer.dos_name)
            self.point_link(event["pty"])
            self.first_appear.set()
        elif kind == "disconnect":
            self.remove_link()

    def follow(self):
        with open(self.log_path, encoding="utf-8") as log:
            pending = ""
            while True:
                chunk = log.readline()
                if not chunk:
                    if self.stop_following.is_set():
                        return
                    time.sleep(FOLLOW_POLL_S)
                    continue
                pending += chunk
                if not pending.endswith("\n"):
                    continue
                line, pending = pending.strip(), ""
                if line.startswith("{"):
                    try:
                        self.on_event(json.loads(line))
                    except (json.JSONDecodeError, OSError) as error:
                        print(f"wine_printer: {error}", file=sys.stderr)

    def register(self):
        reg = os.path.join(self.work, "printer.reg")
        with open(reg, "w", encoding="ascii") as out:
            out.write(self.printer.reg_file())
        self.registered = True
        if self.wine("reg", "import", reg) != 0:
            die("reg import failed")

    def unregister(self):
        if self.registered:
            for key in self.printer.keys_to_remove():
                self.wine("reg", "delete", key, "/f")

    def run(self):
        try:
            self.start_emulator()
            self.follower = threading.Thread(target=self.follow, daemon=True)
            self.follower.start()
            if not self.first_appear.wait(START_LIMIT_S):
                die("the emulator's printer did not appear")
            self.register()
            return subprocess.run(self.command, check=False).returncode
        finally:
            self.finish()

    def finish(self):
        if self.sim and self.sim.poll() is None:
            self.sim.send_signal(signal.SIGTERM)
            try:
                self.sim.wait(10)
            except subprocess.TimeoutExpired:
                self.sim.kill()
        self.stop_following.set()
        if self.follower:
            self.follower.join(5)
        self.remove_link()
        self.unregister()
        if not self.options["log"] and os.path.exists(self.log_path):
            os.unlink(self.log_path)
        for name in os.listdir(self.work):
            os.unlink(os.path.join(self.work, name))
        os.rmdir(self.work)


def parse(argv):
    options = {"serial": "SER1", "port_number": 1, "log": None, "wine": "wine"}
    i = 0
    while i < len(argv) and argv[i] != "--":
        name = argv[i].lstrip("-").replace("-", "_")
        if name not in options or i + 1 >= len(argv):
            die(f"unknown option or missing value: {argv[i]}\n{__doc__}")
        options[name] = int(argv[i + 1]) if name == "port_number" else argv[i + 1]
        i += 2
    rest = argv[i + 1:]
    if "--" not in rest:
        die(__doc__)
    split = rest.index("--")
    sim_command, command = rest[:split], rest[split + 1:]
    if not sim_command or not command:
        die(__doc__)
    return options, sim_command, command


def main():
    options, sim_command, command = parse(sys.argv[1:])
    sys.exit(Harness(options, sim_command, command).run())


if __name__ == "__main__":
    main()
