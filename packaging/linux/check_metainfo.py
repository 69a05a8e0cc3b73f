#!/usr/bin/env python3
"""check_metainfo.py METAINFO DESKTOP VERSION: the metainfo and the desktop entry say the same
name, summary, icon, categories and keywords, the metainfo launches that desktop entry, and its
newest release is VERSION."""
import configparser
import os
import sys
import xml.etree.ElementTree as ET

metainfo, desktop, version = sys.argv[1:4]
root = ET.parse(metainfo).getroot()
entry = configparser.RawConfigParser(delimiters=("=",))
entry.optionxform = str
entry.read(desktop, encoding="utf-8")
d = entry["Desktop Entry"]


def items(text):
    return [item for item in text.split(";") if item]


checks = [
    ("name", root.findtext("name"), d["Name"]),
    ("summary", root.findtext("summary"), d["Comment"]),
    ("icon", root.findtext("icon"), d["Icon"]),
    ("launchable", root.findtext("launchable"), os.path.basename(desktop)),
    ("categories", [c.text for c in root.iter("category")], items(d["Categories"])),
    ("keywords", [k.text for k in root.iter("keyword")], items(d["Keywords"])),
    ("release", root.find("releases/release").get("version"), version),
]
wrong = [f"{what}: metainfo {a!r}, expected {b!r}" for what, a, b in checks if a != b]
for line in wrong:
    print(line, file=sys.stderr)
sys.exit(1 if wrong else 0)
