#!/usr/bin/env python3
"""Runs tierwise-batch --drawing as a user does and reads the drawings back: the DXF with ezdxf
(audited; model-space mm at the plan's scale, each sheet a block; entities per layer; the plan's
columns at true size; sheets and texts where the PDF has them), the PDF with pdfinfo and
pdftotext, the SVG with an XML parser.

usage: check_drawing.py TIERWISE_BATCH SAMPLE.anl WORK_DIR
"""
import collections
import pathlib
import re
import shutil
import subprocess
import sys
import xml.etree.ElementTree as ElementTree

import ezdxf
import ezdxf.bbox
import openpyxl
from ezdxf.lldxf.encoding import decode_dxf_unicode

import e2e_support
from e2e_support import check, finish

BATCH, SAMPLE, WORK = sys.argv[1], pathlib.Path(sys.argv[2]), pathlib.Path(sys.argv[3])

def run(*args):
    return e2e_support.run(BATCH, *args)


shutil.rmtree(WORK, ignore_errors=True)
WORK.mkdir(parents=True)
book, pdf, svg, dxf = WORK / "s.xlsx", WORK / "s.pdf", WORK / "s.svg", WORK / "S.DXF"

# --- usage: the format comes from the extension ---------------------------------------------------
code, _, stderr = run(SAMPLE, "-o", book, "--drawing", WORK / "s.png")
check(code == 2 and "s.png" in stderr and not any(WORK.iterdir()), f"unknown extension: exit {code} {stderr!r}")
code, _, stderr = run(SAMPLE, "-o", book, "--drawing", WORK / "no-such-folder" / "s.pdf")
check(code == 1 and "Cannot write" in stderr and "s.pdf" in stderr, f"unwritable drawing: exit {code} {stderr!r}")
check(not book.exists(), "unwritable drawing: the workbook was written all the same")

# --- all three formats in one run ---------------------------------------------------------------
code, stdout, stderr = run(SAMPLE, "-o", book, "--drawing", pdf, "--drawing", svg, "--drawing", dxf)
check(code == 0, f"drawings: exit {code} {stderr!r}")
check(sorted(p.name for p in WORK.iterdir() if p.is_file()) == ["S.DXF", "s.pdf", "s.svg", "s.xlsx"],
      f"files left: {sorted(p.name for p in WORK.iterdir())}")

info = subprocess.run(["pdfinfo", str(pdf)], capture_output=True, text=True).stdout
check(re.search(r"^Pages:\s+2$", info, re.M) is not None, f"PDF pages: {info!r}")
root = ElementTree.parse(svg).getroot()
check(root.tag.endswith("svg") and root.get("width", "").endswith("pt"), f"SVG root: {root.tag} {root.attrib}")

doc = ezdxf.readfile(dxf)
auditor = doc.audit()
check(not auditor.errors and not auditor.fixes,
      f"DXF audit: {[e.message for e in auditor.errors + auditor.fixes][:5]}")
LAYERS = {"GRID", "OUTLINE", "BARS", "TIES", "TEXT", "DIMENSIONS", "NOTES"}
check({layer.dxf.name for layer in doc.layers} >= LAYERS, "DXF layers")

# --- the model space: millimetres at the plan's scale, each sheet one block inserted once ------------
scale = doc.header.get("$DIMSCALE")
(plan_scale,) = {int(m.group(1)) for e in doc.blocks.get("PLAN1") or [] if e.dxftype() == "TEXT"
                 for m in [re.fullmatch(r"Scale 1:(\d+)", e.dxf.text)] if m} or {0}
check(plan_scale > 1 and scale == plan_scale and doc.header.get("$LTSCALE") == scale
      and doc.header.get("$TEXTSIZE") == 2.5 * scale,
      f"scale: plan 1:{plan_scale}, $DIMSCALE {scale}, $LTSCALE {doc.header.get('$LTSCALE')}, "
      f"$TEXTSIZE {doc.header.get('$TEXTSIZE')}")
inserts = list(doc.modelspace())
names = [e.dxf.name for e in inserts]
check(all(e.dxftype() == "INSERT" and e.dxf.layer == "0" for e in inserts) and len(set(names)) == len(names)
      and all(re.fullmatch(r"(SCHEDULE|PLAN)\d+", n) for n in names) and names[-1] == "PLAN1",
      f"model space: {[(e.dxftype(), e.dxf.layer, e.dxf.get('name')) for e in inserts]}")

# The PDF's pages, in mm, one per sheet in the same order.
MM = 25.4 / 72
info = subprocess.run(["pdfinfo", "-f", "1", "-l", "99", str(pdf)], capture_output=True, text=True).stdout
pages = [(float(w) * MM, float(h) * MM) for w, h in re.findall(r"^Page\s+\d+ size:\s+([\d.]+) x ([\d.]+)", info, re.M)]
check(len(pages) == len(inserts), f"{len(pages)} PDF pages for {len(inserts)} DXF sheets")


def sheet_entities(name):
    """A sheet block's entities in the sheet's own model mm, its cells exploded, the bars whole."""
    drawn = []
    for e in doc.blocks[name]:
        if e.dxftype() == "INSERT" and e.dxf.name.startswith("CELL"):
            check(e.dxf.layer == "OUTLINE", f"cell on layer {e.dxf.layer}")
            drawn.extend(e.virtual_entities())
        else:
            drawn.append(e)
    return drawn


sheets = {name: sheet_entities(name) for name in names}
counts = collections.Counter((e.dxftype(), e.dxf.layer) for drawn in sheets.values() for e in drawn)
check(set(layer for _, layer in counts) <= LAYERS, f"stray layers: {counts}")

# In a row along X, 50 mm of paper apart, each (its paper edge the outermost lines) the size of its
# PDF page at the scale.
x = 0
for insert, (width, height) in zip(inserts, pages):
    box = ezdxf.bbox.extents(e for e in doc.blocks[insert.dxf.name] if e.dxftype() == "LINE")
    got = (insert.dxf.insert.x / scale, insert.dxf.insert.y, box.extmin.x / scale, box.extmin.y / scale,
           box.extmax.x / scale, box.extmax.y / scale)
    check(all(abs(a - b) < 0.5 for a, b in zip(got, (x, 0, 0, 0, width, height))),
          f"{insert.dxf.name} at {got[:2]} spanning {got[2:]}: the PDF page is {width:.1f} x {height:.1f}")
    x += width + 50


def pdf_texts(page):
    """Each text line of a PDF page as (words, x left, x right, baseline from the top, cap height), mm."""
    out = subprocess.run(["pdftotext", "-bbox-layout", "-f", str(page), "-l", str(page), str(pdf), "-"],
                         capture_output=True, text=True).stdout
    page_xml = re.sub(r"<!DOCTYPE[^>]*>", "", out).replace(' xmlns="http://www.w3.org/1999/xhtml"', "")
    lines = []
    for line in ElementTree.fromstring(page_xml).iter("line"):
        words = [w.text for w in line.iter("word")]
        x0, y0, x1, y1 = (float(line.get(k)) * MM for k in ("xMin", "yMin", "xMax", "yMax"))
        # DejaVu Sans: the box spans ascent 0.928 em and descent 0.236 em; capitals stand 0.729 em.
        em = (y1 - y0) / 1.164
        lines.append((" ".join(words), x0, x1, y1 - 0.236 * em, 0.729 * em))
    return lines


# Texts standing alone on their line in the PDF (marks, headings, the title block's rows): where
# the DXF puts each, less its sheet's insert point and over the scale, within 0.5 mm of the PDF.
for page, (insert, (width, height)) in enumerate(zip(inserts, pages), 1):
    in_pdf = collections.defaultdict(list)
    for words, x0, x1, baseline, cap in pdf_texts(page):
        in_pdf[words].append((x0, x1, baseline, cap))
    in_dxf = collections.Counter(e.dxf.text for e in sheets[insert.dxf.name] if e.dxftype() == "TEXT")
    compared = 0
    for e in sheets[insert.dxf.name]:
        if e.dxftype() != "TEXT" or in_dxf[e.dxf.text] != 1 or len(in_pdf[e.dxf.text]) != 1:
            continue
        (x0, x1, baseline, cap), = in_pdf[e.dxf.text]
        pdf_at = ((x0, (x0 + x1) / 2, x1)[e.dxf.halign],
                  height - baseline + {1: 0, 2: cap / 2, 3: cap}[e.dxf.valign])
        dxf_at = (e.dxf.align_point[0] / scale, e.dxf.align_point[1] / scale)
        check(abs(pdf_at[0] - dxf_at[0]) < 0.5 and abs(pdf_at[1] - dxf_at[1]) < 0.5
              and abs(e.dxf.height / scale - cap) < 0.5,
              f"{insert.dxf.name} {e.dxf.text!r}: DXF {dxf_at} height {e.dxf.height / scale}, "
              f"PDF {pdf_at} height {cap:.2f}")
        compared += 1
    check(compared >= 10, f"{insert.dxf.name}: only {compared} texts found in both the DXF and the PDF")

schedule = [e for name in names if name.startswith("SCHEDULE") for e in sheets[name]]
plan = sheets["PLAN1"]
texts = [e.dxf.text for e in schedule if e.dxftype() == "TEXT"]
# Text heights are paper heights times the scale: 2.5 mm cell texts, 3.5 mm marks.
heights = collections.Counter(e.dxf.height / scale for e in schedule + plan if e.dxftype() == "TEXT")
check(heights[2.5] > heights[3.5] > 0, f"text heights over the scale: {heights}")

# Bars: as many as the cells' "n - phi dia" texts say, each an insert of the filled disc BAR.
said = sum(int(m.group(1)) for t in texts for m in [re.match(r"(\d+) - (\d+) dia", t)] if m)
bars = [e for e in schedule if e.dxftype() == "INSERT" and e.dxf.name == "BAR"]
check(said > 0 and len(bars) == said and all(e.dxf.layer == "BARS" for e in bars), f"bars: {len(bars)} drawn, {said} in texts")
check(counts[("LINE", "TIES")] + counts[("CIRCLE", "TIES")] > 0, "no ties")

# The plan: a line and two bubbles per grid line (besides the dimension chains), and at every
# column position its outline at true size and its mark, the same marks at the same grid
# references as the schedule's headings (and worksheet 4, when the workbook has it).
bubble = 8 * scale
bubbles = [e.dxf.center for e in plan if e.dxftype() == "CIRCLE" and e.dxf.layer == "GRID"]
check(all(abs(e.dxf.radius - bubble / 2) < 1e-6 for e in plan if e.dxftype() == "CIRCLE" and e.dxf.layer == "GRID"),
      "bubble sizes")


def at_bubble(p):
    return any(abs(abs(p[0] - c[0]) + abs(p[1] - c[1]) - bubble / 2) < 1e-3 for c in bubbles)


grid_lines = [e for e in plan if e.dxftype() == "LINE" and e.dxf.layer == "GRID"
              and at_bubble(e.dxf.start) and at_bubble(e.dxf.end)]
check(grid_lines and len(bubbles) == 2 * len(grid_lines), f"grid: {len(grid_lines)} lines, {len(bubbles)} bubbles")


def text_at(x, y):
    return [e.dxf.text for e in plan if e.dxftype() == "TEXT" and abs(e.dxf.insert[0] - x) < 1e-3
            and abs(e.dxf.insert[1] - y) < 1e-3]


letters, numbers = {}, {}
for c in bubbles:
    (label,) = text_at(c[0], c[1])
    (letters if label.isalpha() else numbers)[round(c[0] if label.isalpha() else c[1], 3)] = label
# Grid lines 6 m apart along X and 5 m along Z in the sample: as far apart in the model.
check(sorted(letters) == [min(letters) + 6000 * i for i in range(3)]
      and sorted(numbers) == [max(numbers) - 5000 * i for i in range(3)][::-1],
      f"grid lines at {sorted(letters)} and {sorted(numbers)}")

# Every column outline as drawn round its grid point (within a metre: outline, cross or hatch).
outlines = {}
for gx, letter in letters.items():
    for gy, number in numbers.items():
        near = [e for e in plan if e.dxf.layer == "OUTLINE" and e.dxftype() in ("LINE", "CIRCLE", "INSERT")
                and all(abs(p.x - gx) < 1000 and abs(p.y - gy) < 1000
                        for box in [ezdxf.bbox.extents([e])] for p in (box.extmin, box.extmax))]
        if near:
            box = ezdxf.bbox.extents(near)
            outlines[letter + "-" + number] = box
# Known sections (samples/office-block.anl), as (along X, along Z): column 1 at A-1 is 300 X 450
# and column 2 at B-1 300 X 600, the longer side along X; column 4 at A-2, 300 X 600 turned by
# BETA 90, has it along Z; the round column 8 at B-3 is 450 across.
for ref, size in (("A-1", (450, 300)), ("B-1", (600, 300)), ("A-2", (300, 600)), ("B-3", (450, 450))):
    box = outlines.get(ref)
    check(box is not None and abs(box.size.x - size[0]) < 0.5 and abs(box.size.y - size[1]) < 0.5,
          f"{ref}: outline {box and (box.size.x, box.size.y)}, its section {size}")
on_plan = collections.defaultdict(set)
for e in plan:
    # (The legend of marks, on NOTES, names them again.)
    if e.dxftype() == "TEXT" and e.dxf.layer == "TEXT" and re.fullmatch(r"C\d+", e.dxf.text):
        # A mark stands up and right of its column's outline, 1 mm of paper clear of it.
        refs = [ref for ref, box in outlines.items() if abs(box.extmax.x + scale - e.dxf.insert[0]) < 1e-3
                and abs(box.extmax.y + scale - e.dxf.insert[1]) < 1e-3]
        check(len(refs) == 1, f"mark {e.dxf.text} at {e.dxf.insert} beside {refs}")
        on_plan[e.dxf.text].update(refs)
headings = collections.defaultdict(set)
for name in names:
    if not name.startswith("SCHEDULE"):
        continue
    marks = [e for e in sheets[name] if e.dxftype() == "TEXT" and e.dxf.height == 3.5 * scale
             and re.fullmatch(r"C\d+", e.dxf.text)]
    for mark in marks:
        for e in sheets[name]:
            if (e.dxftype() == "TEXT" and abs(e.dxf.insert[0] - mark.dxf.insert[0]) < 1e-3
                    and re.fullmatch(r"[A-Z]+-\d+(, [A-Z]+-\d+)*,?", e.dxf.text)):
                headings[mark.dxf.text].update(r for r in e.dxf.text.replace(",", " ").split())
check(on_plan and dict(on_plan) == dict(headings), f"plan {dict(on_plan)} against schedule {dict(headings)}")
# Worksheet 4: the same marks at the same grid references, and every cell's three texts.
sheet4 = openpyxl.load_workbook(book).worksheets[3]
refs, cell_texts = {}, collections.Counter()
for row in sheet4.iter_rows(min_row=3, values_only=True):
    if not row[0]:
        break  # the table ends; its notes follow
    if row[0]:
        refs[row[0]] = set(row[1].split(", "))
        cell_texts.update(t for t in row[3:] if t)
check(refs == dict(on_plan), f"worksheet 4 {refs} against the plan {dict(on_plan)}")
drawn_texts = collections.Counter(t for t in texts if t in cell_texts)
check(drawn_texts == cell_texts, f"cell texts: {drawn_texts - cell_texts} drawn only, {cell_texts - drawn_texts} missing")
# The drawing's lap-length table holds, diameter by diameter, the laps worksheet 4's note gives.
note = next(str(row[0]) for row in sheet4.iter_rows(values_only=True) if row[0] and "Lap lengths" in str(row[0]))
laps = re.findall(r"(\d+) dia (\d+) in tension, (\d+) in compression", note)
notes = [e for e in sheets["SCHEDULE1"] if e.dxftype() == "TEXT" and e.dxf.layer == "NOTES"]
table = [[t.dxf.text for t in sorted((t for t in notes if abs(t.dxf.insert[1] - e.dxf.insert[1]) < 1e-6),
                                     key=lambda t: t.dxf.insert[0])]
         for e in sorted(notes, key=lambda e: -e.dxf.insert[1]) if re.fullmatch(r"\d+ dia", e.dxf.text)]
check(any(e.dxf.text == "LAP LENGTHS (mm)" for e in notes) and laps
      and table == [[d + " dia", t, c] for d, t, c in laps],
      f"lap table {table} against worksheet 4's {laps}")

# A model named outside ASCII, with a line end in its name: the DXF names it within its code page,
# escaped as DXF readers decode it, on one line.
named = WORK / "B\u00fcro\nhaus \u03a9.anl"
shutil.copy(SAMPLE, named)
code, _, stderr = run(named, "-o", WORK / "named.xlsx", "--drawing", WORK / "named.dxf")
check(code == 0, f"model named outside ASCII: exit {code} {stderr!r}")
doc = ezdxf.readfile(WORK / "named.dxf")
auditor = doc.audit()
check(doc.header.get("$DWGCODEPAGE") == "ANSI_1252" and not auditor.errors and not auditor.fixes,
      f"named DXF: code page {doc.header.get('$DWGCODEPAGE')}, audit {[e.message for e in auditor.errors][:3]}")
titles = [decode_dxf_unicode(e.dxf.text) for block in doc.blocks if re.fullmatch(r"(SCHEDULE|PLAN)\d+", block.name)
          for e in block if e.dxftype() == "TEXT" and "haus" in e.dxf.text]
check(titles and all("B\u00fcro haus \u03a9.anl" in t for t in titles), f"named DXF: titles {titles}")

finish("drawings checked")
