#!/usr/bin/env python3
"""Runs tierwise-batch as a user does and reads its workbooks back with openpyxl.

usage: check_batch.py TIERWISE_BATCH SAMPLE.anl DATA_DIR WORK_DIR

TIERWISE_RUNNER in the environment names a program that runs TIERWISE_BATCH (Wine, for the
Windows build).
"""
import os
import pathlib
import shutil
import subprocess
import sys

import openpyxl

BATCH, SAMPLE, DATA, WORK = sys.argv[1], pathlib.Path(sys.argv[2]), pathlib.Path(sys.argv[3]), pathlib.Path(sys.argv[4])
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)


def run(*args):
    runner = [os.environ["TIERWISE_RUNNER"]] if os.environ.get("TIERWISE_RUNNER") else []
    done = subprocess.run([*runner, BATCH, *map(str, args)], capture_output=True, text=True, encoding="utf-8")
    return done.returncode, done.stdout, done.stderr


def rows(path):
    book = openpyxl.load_workbook(path)
    return book, [[[cell.value for cell in row] for row in sheet.iter_rows()] for sheet in book.worksheets]


def cell(sheets, sheet, row, column):
    data = sheets[sheet - 1]
    if row > len(data) or column > len(data[row - 1]):
        return None
    return data[row - 1][column - 1]


def is_number(value):
    return isinstance(value, (int, float)) and not isinstance(value, bool)


shutil.rmtree(WORK, ignore_errors=True)
WORK.mkdir(parents=True)
basement_text = (DATA / "basement.anl").read_bytes()


def variant(name, text):
    path = WORK / name
    path.write_bytes(text)
    return path


# --- what was read, without a workbook ----------------------------------------------------------
code, stdout, stderr = run(SAMPLE, "--summary")
check(code == 0 and stdout == "Unit: METER\nJoints: 43\nMembers: 78\nBETA 90 members: 12\n"
      "Column design blocks: 34\nLevels (m): 0 4 7.2 10.4 13.6\n", f"summary: {code} {stdout!r}")
code, stdout, stderr = run(SAMPLE)
check(code == 2 and "--output is required" in stderr, f"no output: exit {code}, stderr {stderr!r}")

# --- the bundled sample, every level ticked ---------------------------------------------------
out = WORK / "office-block.xlsx"
code, stdout, stderr = run(SAMPLE, "-o", out)
check(code == 0, f"sample: exit {code}, stderr {stderr!r}")
check(stdout == f"Wrote {out}: 5 levels, 9 column lines, 34 columns\n", f"sample: stdout {stdout!r}")
check(stderr == "", f"sample: stderr {stderr!r}")
book, sheets = rows(out)
check(len(book.worksheets) == 3, f"sample: {len(book.worksheets)} worksheets")
for s in (1, 2, 3):
    check([cell(sheets, s, 1, c) for c in (1, 2, 3, 4)] == [" Node ", " Size ", "Sl No.", " Max Area"],
          f"sample: headings of worksheet {s}")
check([cell(sheets, 3, 1, c) for c in (7, 9, 11, 13)] == ["(0 to 4)", "(4 to 7.2)", "(7.2 to 10.4)", "(10.4 to 13.6)"],
      "sample: storey-range captions")
check(all(cell(sheets, 3, 1, c) is None for c in (5, 6, 8, 10, 12, 14)), "sample: worksheet 3 row 1 between captions")

# Row 2: the round column line (node 8, diameter 450) sorts first.
check(cell(sheets, 1, 2, 1) == 8 and is_number(cell(sheets, 1, 2, 1)), "sample: node of row 2")
check(cell(sheets, 1, 2, 2) == 450 and is_number(cell(sheets, 1, 2, 2)), "sample: diameter as a number")
check(cell(sheets, 2, 2, 2) == "0 X 450" and cell(sheets, 3, 2, 2) == "0 X 450", "sample: round section text")
check(cell(sheets, 1, 2, 3) == 1, "sample: serial number of row 2")
check(cell(sheets, 1, 2, 4) == 2280.87 and is_number(cell(sheets, 1, 2, 4)), "sample: largest area of row 2")
check(cell(sheets, 1, 2, 5) == "1.43 %", f"sample: steel percentage of row 2 is {cell(sheets, 1, 2, 5)!r}")
check([cell(sheets, 1, 2, c) for c in (6, 7, 8, 9)] == [2280.87, 1660.5, 1200.5, 1200.5], "sample: areas bottom up")
check([cell(sheets, 2, 2, c) for c in (6, 7, 8, 9)] == ["2280.87 (8)", "1660.5 (17)", "1200.5 (26)", "1200.5 (34)"],
      "sample: areas with member numbers")
check(cell(sheets, 2, 2, 5) is None, "sample: worksheet 2 column 5 empty")
check([cell(sheets, 3, 2, c) for c in (7, 9, 11, 13)] == [2280.87, 1660.5, 1200.5, 1200.5], "sample: storey ranges")

# Row 3 separates the sections; rows 4 to 7 are the 300 X 450 block, numbered from 1 again.
check(all(cell(sheets, s, 3, c) is None for s in (1, 2, 3) for c in range(1, 14)), "sample: empty row 3")
check([cell(sheets, 1, r, 2) for r in range(4, 8)] == ["300 X 450"] * 4, "sample: 300 X 450 block")
check([cell(sheets, 1, r, 3) for r in range(4, 8)] == [1, 2, 3, 4], "sample: serial numbers from 1")
check([cell(sheets, 1, r, 1) for r in range(4, 8)] == [1, 9, 7, 3], "sample: equal lines keep plan order")
# Node 9 stops at the second floor: two columns, the upper ranges empty.
check([cell(sheets, 1, 5, c) for c in (6, 7, 8)] == [2160.37, 1540, None], "sample: set-back line")
check([cell(sheets, 3, 5, c) for c in (7, 9, 11, 13)] == [2160.37, 1540, None, None], "sample: set-back ranges")
check(cell(sheets, 1, 9, 2) == "300 X 600" and cell(sheets, 1, 9, 3) == 1, "sample: 300 X 600 block starts at 1")
check(len(sheets[0]) == 12, f"sample: worksheet 1 has {len(sheets[0])} rows")
check(all(isinstance(cell(sheets, 2, r, 6), str) for r in (2, 4, 5, 6, 7, 9, 10, 11, 12)), "sample: texts on worksheet 2")

# --- storey ranges chosen with --split ---------------------------------------------------------
out = WORK / "office-block-split.xlsx"
code, stdout, stderr = run(SAMPLE, "-o", out, "--split", "7.2")
check(code == 0, f"split: exit {code}, stderr {stderr!r}")
_, sheets = rows(out)
check([cell(sheets, 3, 1, c) for c in (7, 9, 11)] == ["(0 to 7.2)", "(7.2 to 13.6)", None], "split: captions")
check([cell(sheets, 3, 2, c) for c in (7, 9)] == [2280.87, 1200.5], "split: largest area per range")

# Basement levels: both spellings of a negative level, matched within 0.005 m.
basement = DATA / "basement.anl"
for args in (["--split=-3.5,0"], ["--split", "-3.5,0"], ["--split", "0.004"]):
    out = WORK / "basement.xlsx"
    code, stdout, stderr = run(basement, "-o", out, *args)
    check(code == 0, f"basement {args}: exit {code}, stderr {stderr!r}")
    check(stdout == f"Wrote {out}: 4 levels, 2 column lines, 6 columns\n", f"basement {args}: stdout {stdout!r}")
    _, sheets = rows(out)
    check([cell(sheets, 3, 1, c) for c in (7, 9, 11)] == ["(-3.5 to 0)", "(0 to 7)", None], f"basement {args}: captions")
    check([cell(sheets, 3, 2, c) for c in (1, 7, 9)] == [2, 2880, 1600], f"basement {args}: first line")
    check([cell(sheets, 3, 3, c) for c in (1, 7, 9)] == [1, 3200.5, 1920.25], f"basement {args}: second line")

# An unknown level is a usage error that lists the model's levels; nothing is written.
out = WORK / "unknown-level.xlsx"
code, stdout, stderr = run(basement, "-o", out, "--split", "3.6")
check(code == 2, f"unknown level: exit {code}")
check(stderr == "tierwise-batch: --split: the model has no level at 3.6 m; its levels are -3.5, 0, 3.5, 7 (m)\n",
      f"unknown level: stderr {stderr!r}")
check(not out.exists(), "unknown level: a workbook was written")
code, _, stderr = run(basement, "-o", out, "--no-such-option")
check(code == 2, f"unknown option: exit {code}")
code, stdout, _ = run("--help")
check(code == 0 and "--split" in stdout and "Exit status" in stdout, "help")

# --- refused models leave an existing workbook alone ----------------------------------------------
kept = WORK / "kept.xlsx"


def refused(name, text, message):
    kept.write_bytes(b"an earlier workbook")
    code, stdout, stderr = run(variant(name, text), "-o", kept)
    check(code == 1, f"{name}: exit {code}")
    check(stderr == message, f"{name}: stderr {stderr!r}")
    check(stdout == "", f"{name}: stdout {stdout!r}")
    check(kept.read_bytes() == b"an earlier workbook", f"{name}: the earlier workbook was changed")
    check(sorted(p.name for p in WORK.glob(".kept.xlsx*")) == [], f"{name}: a temporary file was left")


# The fixed texts stay word for word, after the file's name.
refused("feet.anl", basement_text.replace(b"UNIT METER KN", b"UNIT FEET KIP"),
        f"{WORK / 'feet.anl'}: Change the units to Meter Or mm \n")
refused("failed.anl", basement_text.replace(b"   1920.25 Sq.mm.", b"      0.00 Sq.mm."),
        f"{WORK / 'failed.anl'}:  Failed Columns  3\n")
tiny = variant("tiny.anl", basement_text.replace(b"400.0 mm X  400.0 mm", b"  0.4 mm dia.       ", 1))
refused("tiny.anl", tiny.read_bytes(),
        f"{WORK / 'tiny.anl'}: Column 1 has a circular section whose diameter 0.4 rounds to 0; its steel percentage "
        "cannot be worked out.\n")
refused("flat.anl", basement_text.replace(b"-3.5", b"0").replace(b" 3.5 ", b" 0 ").replace(b" 7 0", b" 0 0"),
        f"{WORK / 'flat.anl'}: The model has 1 level; a column schedule needs at least two.\n")

# A workbook that cannot be written: the message names it.
code, _, stderr = run(basement, "-o", WORK / "no-such-folder" / "out.xlsx")
check(code == 1, f"missing folder: exit {code}")
check(stderr == f"Cannot write {WORK / 'no-such-folder' / 'out.xlsx'}: No such file or directory\n",
      f"missing folder: stderr {stderr!r}")

# --- no column design blocks: headings and ranges only, with a warning -----------------------------
start, end = basement_text.index(b"    18. START CONCRETE DESIGN"), basement_text.index(b"    21. END CONCRETE DESIGN")
undesigned = variant("undesigned.anl", basement_text[:start] + basement_text[end:])
out = WORK / "undesigned.xlsx"
kept.write_bytes(b"an earlier workbook")
code, stdout, stderr = run(undesigned, "-o", kept)
check(code == 0, f"undesigned: exit {code}, stderr {stderr!r}")
check(stderr == f'warning: {undesigned} holds no column design results headed "C O L U M N   N O."; the schedule has '
      "headings and storey ranges only\n", f"undesigned: stderr {stderr!r}")
check(stdout == f"Wrote {kept}: 4 levels, 0 column lines, 0 columns\n", f"undesigned: stdout {stdout!r}")
book, sheets = rows(kept)
check(len(book.worksheets) == 3 and [len(s) for s in sheets] == [1, 1, 1], "undesigned: one row per worksheet")
check([cell(sheets, 3, 1, c) for c in (7, 9, 11)] == ["(-3.5 to 0)", "(0 to 3.5)", "(3.5 to 7)"], "undesigned: captions")

if failures:
    print(f"{len(failures)} check(s) failed")
    sys.exit(1)
print("all checks passed")
