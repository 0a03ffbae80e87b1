#!/usr/bin/env python3
"""Runs tierwise-batch as a user does and reads its workbooks back with openpyxl.

usage: check_batch.py TIERWISE_BATCH SAMPLE.anl DATA_DIR WORK_DIR

TIERWISE_RUNNER in the environment names a program that runs TIERWISE_BATCH (Wine, for the
Windows build).
"""
import re
import pathlib
import shutil
import sys

import openpyxl

import e2e_support
from e2e_support import check, finish

BATCH, SAMPLE, DATA, WORK = sys.argv[1], pathlib.Path(sys.argv[2]), pathlib.Path(sys.argv[3]), pathlib.Path(sys.argv[4])

def run(*args):
    return e2e_support.run(BATCH, *args)


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
      "Column design blocks: 34\nLevels (m): 0 4 7.2 10.4 13.6\nGrades: M25, Fe415 (main), Fe415 (ties)\n"
      "Column marks: 6\n", f"summary: {code} {stdout!r}")
# Only 25 mm bars: 6 of them (2945.2 mm2) cover every range of every rectangular line, so
# and C-1 read alike, and so do the four 300 X 600 lines: the round line, those two and C-3.
code, stdout, stderr = run(SAMPLE, "--summary", "--bars", "25", "--ties", "10", "--cover", "50")
check(code == 0 and stdout.endswith("\nColumn marks: 4\n"), f"summary with --bars 25: {code} {stdout!r}")
code, stdout, stderr = run(SAMPLE, "--summary", "--split", "7.3")
check(code == 2 and "--split" in stderr, f"summary with an unknown level: {code} {stderr!r}")
code, stdout, stderr = run(SAMPLE)
check(code == 2 and "--output is required" in stderr, f"no output: exit {code}, stderr {stderr!r}")

# --- the bundled sample, every level ticked ---------------------------------------------------
out = WORK / "office-block.xlsx"
code, stdout, stderr = run(SAMPLE, "-o", out)
check(code == 0, f"sample: exit {code}, stderr {stderr!r}")
check(stdout == f"Wrote {out}: 5 levels, 9 column lines, 34 columns\n", f"sample: stdout {stdout!r}")
check(stderr == "", f"sample: stderr {stderr!r}")
book, sheets = rows(out)
check(book.sheetnames == ["Sheet1", "Sheet2", "Sheet3", "Column schedule", "Steel quantities"], f"sample: worksheets {book.sheetnames}")
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

# Worksheet 4: marks by first line in schedule order; the round line first.
check([cell(sheets, 4, 1, c) for c in (1, 2, 3, 4, 7, 10, 13)] ==
      ["Mark", "Grid", "Lines", "(0 to 4)", "(4 to 7.2)", "(7.2 to 10.4)", "(10.4 to 13.6)"], "sample: worksheet 4 captions")
check([cell(sheets, 4, 2, c) for c in range(4, 10)] == ["Size", "Bars", "Ties"] * 2, "sample: worksheet 4 headings")
check([cell(sheets, 4, 3, c) for c in range(1, 7)] == ["C1", "B-3", 1, "450 dia", "8 - 20 dia (1.58 %)", "8 dia @ 300 c/c"],
      "sample: the round line's mark")
check([cell(sheets, 4, 6, c) for c in (1, 2, 3, 4, 5, 6)] ==
      ["C4", "A-3, C-1", 2, "300 X 450", "8 - 20 dia (1.86 %)", "8 dia @ 300 c/c + 2 crossties"],
      "sample: two lines under one mark")
check(cell(sheets, 4, 2, 1) == "IS 456:2000", f"sample: worksheet 4 rules {cell(sheets, 4, 2, 1)!r}")
check([cell(sheets, 4, 5, c) for c in (1, 7, 10)] == ["C3", "300 X 450", None], "sample: set-back line's upper ranges empty")
# Worksheet 4's table ends at its first empty row; the notes follow it.
def table_end(rows4):
    return next(i for i, row in enumerate(rows4 + [[None]]) if i >= 2 and row[0] is None)


check([row[0] for row in sheets[3][2:table_end(sheets[3])]] == [f"C{m}" for m in range(1, 7)], "sample: six marks")
notes4 = [row[0] for row in sheets[3][table_end(sheets[3]) + 1:]]
check(notes4[0] == "Notes" and notes4[1].startswith("1. Detailing by IS 456:2000") and
      any("Grades: M25, Fe415 (main), Fe415 (ties)." in n for n in notes4) and
      any("Clear cover to the main bars: 40 mm" in n for n in notes4), f"sample: worksheet 4 notes {notes4}")

# Layout: bold heading rows kept in view, widths that fit the texts.
for s, ws in enumerate(book.worksheets, start=1):
    heading = 2 if s == 4 else 1
    check(ws.freeze_panes == f"A{heading + 1}", f"sample: worksheet {s} frozen at {ws.freeze_panes}")
    check(all(c.font.b for row in ws.iter_rows(max_row=heading) for c in row if c.value is not None) and
          not any(c.font.b for c in ws[heading + 1]), f"sample: worksheet {s} bold headings")
    # The notes below worksheet 4's table run on across the empty cells to their right.
    last = table_end(sheets[3]) if s == 4 else ws.max_row
    for column, width in ws.column_dimensions.items():
        # Notes below a table run on to the right and leave their column's width alone.
        longest = max((len(str(c.value)) for c in ws[column]
                       if c.value is not None and c.row <= last and len(str(c.value)) <= 60), default=0)
        check(longest < width.width <= 61, f"sample: worksheet {s} column {column} width {width.width} for {longest}")


def check_print(name, book, wide):
    """Every worksheet prints landscape on A4 with its heading rows on every page; worksheet 4 with
    Mark and Grid too. A narrow workbook is fitted to one page wide; worksheet 4 of a wide one
    prints at a legible scale with pages starting only where a storey range starts."""
    for s, ws in enumerate(book.worksheets, start=1):
        setup = ws.page_setup
        check(setup.orientation == "landscape" and int(setup.paperSize) == 9,
              f"{name}: worksheet {s} prints {setup.orientation} on paper {setup.paperSize}")
        heading = 2 if s == 4 else 1
        check(ws.print_title_rows == f"$1:${heading}", f"{name}: worksheet {s} repeats rows {ws.print_title_rows}")
        check(ws.print_title_cols == ("$A:$B" if s == 4 else None),
              f"{name}: worksheet {s} repeats columns {ws.print_title_cols}")
        fitted = ws.sheet_properties.pageSetUpPr is not None and ws.sheet_properties.pageSetUpPr.fitToPage
        if s == 4 and wide:
            starts = [b.id + 1 for b in ws.col_breaks.brk]  # a break after column n: column n + 1 starts a page
            check(not fitted and 0 < int(setup.scale) < 100 and starts and all((c - 4) % 3 == 0 for c in starts),
                  f"{name}: worksheet 4 pages start at columns {starts}, scale {setup.scale}, fitted {fitted}")
        else:
            # fitToWidth="1" is the default, which the file may leave out
            check(fitted and int(setup.fitToWidth or 1) == 1 and int(setup.fitToHeight) == 0,
                  f"{name}: worksheet {s} fitted to {setup.fitToWidth} by {setup.fitToHeight} pages")


# The sample's four ranges, their Ties naming crossties, print across pages; two ranges fit one page wide.
check_print("sample", book, wide=True)
# Refused at length ("over 0.9 %: enlarge the section"), the four ranges no longer fit one page wide.
out = WORK / "office-block-wide.xlsx"
code, stdout, stderr = run(SAMPLE, "-o", out, "--max-steel", "0.9")
check(code == 0, f"wide: exit {code}, stderr {stderr!r}")
check_print("wide", openpyxl.load_workbook(out), wide=True)

# --- storey ranges chosen with --split ---------------------------------------------------------
out = WORK / "office-block-split.xlsx"
code, stdout, stderr = run(SAMPLE, "-o", out, "--split", "7.2")
check(code == 0, f"split: exit {code}, stderr {stderr!r}")
check_print("split", openpyxl.load_workbook(out), wide=False)
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
stdout_help = stdout
check(code == 0 and "--split" in stdout and "Exit status" in stdout, "help")
check(all(word in stdout for word in ("Column schedule", "--cover", "--bars", "--ties", "--max-steel")), "help: worksheet 4")

# A detailing option out of its range is a usage error; nothing is written.
for args, message in ((["--max-steel", "0.8"], "--max-steel must be above 0.8 and at most 6 (per cent of the gross area)"),
                      (["--max-steel", "four"], '--max-steel: "four" is not a percentage'),
                      (["--cover", "0"], "--cover must be at least 40 mm, the nominal cover IS 456:2000 cl. 26.4.2.1 asks for columns"),
                      (["--cover", "25"], "--cover must be at least 40 mm, the nominal cover IS 456:2000 cl. 26.4.2.1 asks for columns"),
                      (["--bars", "10,16"], "--bars: 10 mm is below the 12 mm IS 456:2000 cl. 26.5.3.1 d asks for a column's bars"),
                      (["--ties", "5,8"], "--ties: 5 mm is below the 6 mm IS 456:2000 cl. 26.5.3.2 c asks for ties"),
                      (["--bars", "45", "--ties", "12"], "--cover 40 mm is less than the 45 mm bars; IS 456:2000 cl. 26.4.2.1 asks at least the bar diameter"),
                      (["--bars", "12,16.5"], '--bars: "16.5" is not a diameter in whole millimetres'),
                      (["--bars", "40", "--ties", "8"], "--ties: no tie diameter reaches a quarter of the 40 mm bars")):
    out = WORK / "bad-option.xlsx"
    code, stdout, stderr = run(SAMPLE, "-o", out, *args)
    check(code == 2 and stderr == f"tierwise-batch: {message}\n", f"{args}: exit {code}, stderr {stderr!r}")
    check(not out.exists(), f"{args}: a workbook was written")

# An empty value would silently mean the default; --summary writes no file, so it takes none.
for args, message in ((["-o", WORK / "empty.xlsx", "--cover", ""], "--cover: the value is empty"),
                      (["-o", WORK / "empty.xlsx", "--bars", ""], "--bars: the value is empty"),
                      (["-o", WORK / "empty.xlsx", "--ties", ""], "--ties: the value is empty"),
                      (["-o", WORK / "empty.xlsx", "--max-steel", ""], "--max-steel: the value is empty"),
                      (["-o", ""], "--output: the value is empty"),
                      (["--summary", "--drawing", WORK / "empty.pdf"], "--summary draws nothing, so it takes no --drawing")):
    code, stdout, stderr = run(SAMPLE, *args)
    check(code == 2 and stderr.startswith(f"tierwise-batch: {message}"), f"{args}: exit {code}, stderr {stderr!r}")
    check(not any(WORK.glob("empty.*")), f"{args}: a file was written")
# The help quotes the detailing's own defaults and bounds.
check("(default 40)" in stdout_help and "above 0.8, at most 6 (default 4)" in stdout_help and
      "(default 12,16,20,25,28,32)" in stdout_help and "at least 0.8 % and at most 6 %" in stdout_help,
      "help: detailing defaults and bounds")

# The options change worksheet 4 only. Line A-1, 300 X 450 needing 2160.37 mm2 in (0 to 4):
# 25 mm bars with 50 mm cover leave 325 mm between the corner bars of the long face, so one more
# bar on each: 6 bars (5 needed), 2945.2 mm2 = 2.18 %; 10 mm ties at min(300, 400, 300). At most
# 1.5 % (2025 mm2) nothing fits, so the least steel within 6 %: 20 x 12 (2261.9 mm2, 1.68 %; 16, 20,
# 25, 28 and 32 mm bars give 2412.7, 2513.3, 2945.2, 2463.0, 3217.0), flagged; 8 mm ties at
# min(300, 192, 300) -> 175.
_, plain = rows(WORK / "office-block.xlsx")
for args, texts in ((["--bars", "25", "--ties", "10", "--cover", "50"],
                     ["6 - 25 dia (2.18 %)", "10 dia @ 300 c/c + 1 crosstie"]),
                    (["--max-steel", "1.5"], ["20 - 12 dia (1.68 %, over 1.5 %)", "8 dia @ 175 c/c + 4 crossties"])):
    out = WORK / "office-block-options.xlsx"
    code, stdout, stderr = run(SAMPLE, "-o", out, *args)
    check(code == 0, f"{args}: exit {code}, stderr {stderr!r}")
    _, optioned = rows(out)
    check(optioned[:3] == plain[:3], f"{args}: worksheets 1 to 3 changed")
    got = [cell(optioned, 4, 4, c) for c in (1, 4, 5, 6)]
    check(got == ["C2", "300 X 450", *texts] and cell(optioned, 4, 4, 2).startswith("A-1"), f"{args}: {got}")

# --- --ductile: IS 13920 hoops in worksheet 4's Ties cells, named in its heading; 1 to 3 unchanged.
# C4 at 0 to 4 m (8 - 20 dia, M25 / Fe415 from the blocks, LENGTH 4000): lo = max(450, 666.7) -> 700;
# hoops of 12 mm at min(75, 120, 100) -> 75, the zone pitch Ash allows for 10 mm being under 75.
out = WORK / "office-block-ductile.xlsx"
code, stdout, stderr = run(SAMPLE, "-o", out, "--ductile")
check(code == 0 and stderr == "", f"--ductile: exit {code}, stderr {stderr!r}")
_, ductile = rows(out)
check(ductile[:3] == plain[:3], "--ductile: worksheets 1 to 3 changed")
check([cell(ductile, 4, 2, 1), cell(ductile, 4, 6, 6)] ==
      ["IS 456:2000 and IS 13920:2016", "12 dia @ 75 c/c for 700 at each end, @ 150 c/c between, + 2 crossties"],
      f"--ductile: {[cell(ductile, 4, 2, 1), cell(ductile, 4, 6, 6)]}")

# Without grades in the blocks the columns are named and detailed by IS 456 alone, unless given.
ungraded = variant("ungraded.anl", re.sub(rb"Fe415 \(Sec\.\)", b"", SAMPLE.read_bytes()))
for args, named in (([], True), (["--concrete", "M25", "--steel", "Fe415"], False)):
    code, stdout, stderr = run(ungraded, "-o", out, "--ductile", *args)
    check(code == 0 and ("detailed by IS 456 alone (--concrete and --steel give them)" in stderr) == named,
          f"--ductile {args}: exit {code}, stderr {stderr!r}")
code, stdout, stderr = run(SAMPLE, "-o", out, "--ductile", "--concrete", "C25")
check(code == 2 and '--concrete: "C25" is not a grade such as M25' in stderr, f"--concrete C25: {code} {stderr!r}")

# --- a cut-off file accepted with --allow-incomplete says so in worksheet 4's notes and the
# document properties; worksheets 1 to 3 keep their cells --------------------------------------------
sample_text = SAMPLE.read_bytes()
cut_off = variant("cut-off.anl", sample_text[:sample_text.index(b"C O L U M N   N O.      12")])
for args, marked in ((["--allow-incomplete"], True), ([], False)):
    source = cut_off if marked else SAMPLE
    out = WORK / "marked.xlsx"
    code, stdout, stderr = run(source, "-o", out, *args)
    check(code == 0, f"{source.name}: exit {code}, stderr {stderr!r}")
    book, sheets = rows(out)
    comments = book.properties.description or ""
    noted = [row[0] for row in sheets[3] if row and isinstance(row[0], str) and "from an incomplete analysis file" in row[0]]
    check((comments == "Made from an incomplete analysis file") == marked, f"{source.name}: properties {comments!r}")
    check(len(noted) == (1 if marked else 0), f"{source.name}: notes {noted!r}")
    check(book.properties.title == "Column schedule", f"{source.name}: title {book.properties.title!r}")

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
check(stderr == f"warning: {undesigned}: 6 columns without design results, left out of the schedule: members "
      "1 (to 0 m), 3 (to 3.5 m), 5 (to 7 m), 2 (to 0 m), 4 (to 3.5 m) and 1 more\n"
      f'warning: {undesigned} holds no column design results headed "C O L U M N   N O."; the schedule has '
      "headings and storey ranges only\n", f"undesigned: stderr {stderr!r}")
check(stdout == f"Wrote {kept}: 4 levels, 0 column lines, 0 columns\n", f"undesigned: stdout {stdout!r}")
book, sheets = rows(kept)
check(len(book.worksheets) == 5 and [len(s) for s in sheets[:4]] == [1, 1, 1, 2], "undesigned: headings only")
check([cell(sheets, 5, r, 11) for r in (4, 5)] == [0, 0], "undesigned: no steel")
check([cell(sheets, 3, 1, c) for c in (7, 9, 11)] == ["(-3.5 to 0)", "(0 to 3.5)", "(3.5 to 7)"], "undesigned: captions")

finish("all checks passed")
