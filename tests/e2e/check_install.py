#!/usr/bin/env python3
"""Checks an installed Tierwise as the desktop and a user meet it.

usage: check_install.py PREFIX VERSION [BUILD_DIR CMAKE]

PREFIX is where Tierwise is installed (/usr for the Debian package). With BUILD_DIR, PREFIX is
emptied and filled first by `CMAKE --install BUILD_DIR --prefix PREFIX`. Checked: both programs
answer --version with VERSION; the installed tierwise-batch writes the installed sample's workbook
and drawing; the menu entry passes desktop-file-validate and names an installed program, icon and
MIME type; the MIME database built from the installed type gives it *.anl and *.ANL; every PNG
icon is as large as its folder says.
"""
import configparser
import fnmatch
import os
import pathlib
import shutil
import struct
import subprocess
import sys
import tempfile

import e2e_support
from e2e_support import check, finish

PREFIX, VERSION = pathlib.Path(sys.argv[1]), sys.argv[2]
if len(sys.argv) > 3:
    shutil.rmtree(PREFIX, ignore_errors=True)
    subprocess.run([sys.argv[4], "--install", sys.argv[3], "--prefix", str(PREFIX)], check=True, stdout=subprocess.DEVNULL)
BIN, SHARE = PREFIX / "bin", PREFIX / "share"
os.environ["QT_QPA_PLATFORM"] = "offscreen"


def png_size(path):
    header = path.read_bytes()[:24]
    return struct.unpack(">II", header[16:24]) if header[:8] == b"\x89PNG\r\n\x1a\n" else None


for program, name in (("tierwise-batch", "tierwise-batch"), ("tierwise", "Tierwise")):
    status, out, err = e2e_support.run(BIN / program, "--version")
    check(status == 0 and out.strip() == f"{name} {VERSION}", f"{program} --version: {status} {out!r} {err!r}")

sample = SHARE / "tierwise/samples/office-block.anl"
with tempfile.TemporaryDirectory() as work:
    book, drawing = pathlib.Path(work, "office-block.xlsx"), pathlib.Path(work, "office-block.pdf")
    status, out, err = e2e_support.run(BIN / "tierwise-batch", sample, "-o", book, "--drawing", drawing)
    check(status == 0, f"the installed sample's schedule: exit status {status}: {err.strip()}")
    check(book.exists() and book.read_bytes()[:2] == b"PK", "the installed sample's workbook is a zip")
    check(drawing.exists() and drawing.read_bytes()[:5] == b"%PDF-", "the installed sample's drawing is a PDF")

    desktop_file = SHARE / "applications/tierwise.desktop"
    validated = subprocess.run(["desktop-file-validate", desktop_file], capture_output=True, text=True)
    check(validated.returncode == 0 and not validated.stdout.strip(), f"desktop-file-validate: {validated.stdout}")
    entry = configparser.ConfigParser(interpolation=None)
    entry.optionxform = str
    entry.read(desktop_file, encoding="utf-8")
    entry = entry["Desktop Entry"]
    check((BIN / entry["Exec"].split()[0]).exists(), f"Exec names an installed program: {entry['Exec']}")
    check("%f" in entry["Exec"].split(), "Exec takes the opened file (%f)")

    icons = SHARE / "icons/hicolor"
    check((icons / "scalable/apps" / f"{entry['Icon']}.svg").exists(), "the scalable icon is installed")
    check((icons / "48x48/apps" / f"{entry['Icon']}.png").exists(), "the 48x48 icon every theme needs is installed")
    for png in icons.glob(f"*/apps/{entry['Icon']}.png"):
        width, height = png_size(png) or (0, 0)
        check(png.parent.parent.name == f"{width}x{height}", f"{png} is {width}x{height}")

    # The MIME database as the desktop builds it from the installed type alone.
    mime = pathlib.Path(work, "mime")
    (mime / "packages").mkdir(parents=True)
    shutil.copy(SHARE / "mime/packages/tierwise.xml", mime / "packages")
    subprocess.run(["update-mime-database", mime], check=True, capture_output=True)
    globs = [line.split(":") for line in (mime / "globs2").read_text().splitlines() if line[:1] != "#"]

    def types_of(name):  # weight:type:pattern[:cs], the pattern case-blind without cs
        return {g[1] for g in globs if fnmatch.fnmatchcase(*((name, g[2]) if "cs" in g[3:] else (name.lower(), g[2].lower())))}

    types = {t for t in entry["MimeType"].split(";") if t}
    check(types != set(), "the menu entry names the MIME type it opens")
    for name in ("tower.anl", "TOWER.ANL"):
        check(types_of(name) == types, f"{name} is {types} to the desktop, not {types_of(name)}")

finish(f"installed Tierwise {VERSION} in {PREFIX}: programs, sample, menu entry, icons and MIME type pass")
