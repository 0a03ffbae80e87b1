#!/usr/bin/env python3
"""Prints the third-party notices of a Qt source tree: every qt_attribution.json under src/, with
its name, version, licence, copyright and the text of the licence file it names.

usage: qt_notices.py QT_SOURCE_DIR
"""
import json
import pathlib
import sys

source = pathlib.Path(sys.argv[1])
print(f"Third-party code in Qt's source ({source.name}), as Qt's qt_attribution.json files list it.")
print("Not every entry is built into the DLLs beside the programs (some are for other systems).\n")
for path in sorted((source / "src").rglob("qt_attribution.json")):
    entries = json.loads(path.read_text(encoding="utf-8"), strict=False)
    for entry in entries if isinstance(entries, list) else [entries]:
        print("=" * 78)
        print(f"{entry.get('Name', '?')} {entry.get('Version', '')}".rstrip())
        print(f"in {path.parent.relative_to(source)}, licence: {entry.get('License', entry.get('LicenseId', '?'))}")
        if entry.get("Copyright"):
            print(entry["Copyright"].strip())
        for name in str(entry.get("LicenseFile", "")).split(","):
            if name.strip() and (path.parent / name.strip()).is_file():
                print("\n" + (path.parent / name.strip()).read_text(encoding="utf-8", errors="replace").strip())
        print()
