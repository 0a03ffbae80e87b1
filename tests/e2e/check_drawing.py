#!/usr/bin/env python3
"""Runs tierwise-batch --drawing as a user does and reads the drawings back: the DXF with ezdxf
(audited, entities per layer), the PDF with pdfinfo, the SVG with an XML parser.

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
check({layer.dxf.name for layer in doc.layers} >= {"GRID", "OUTLINE", "BARS", "TIES", "TEXT", "DIMENSIONS", "NOTES"}, "DXF layers")
# The schedule's cells are blocks inserted where they stand; looked at as drawn, with the bars
# (inserts of the block BAR) left whole.
entities = []
for e in doc.modelspace():
    if e.dxftype() == "INSERT" and e.dxf.name.startswith("CELL"):
        check(e.dxf.layer == "OUTLINE", f"cell on layer {e.dxf.layer}")
        entities.extend(e.virtual_entities())
    else:
        entities.append(e)
counts = collections.Counter((e.dxftype(), e.dxf.layer) for e in entities)
check(set(layer for _, layer in counts) <= {"GRID", "OUTLINE", "BARS", "TIES", "TEXT", "DIMENSIONS", "NOTES"}, f"stray layers: {counts}")

# The second sheet starts at its paper edge, the second closed outline from y = 0.
firsts = [list(e.points())[0] for e in entities if e.dxftype() == "POLYLINE" and e.dxf.layer == "OUTLINE"]
edges = sorted(p[0] for p in firsts if p[1] == 0)
check(len(edges) == 2, f"paper edges: {edges}")
split = edges[-1]
texts = [(e.dxf.insert[0], e.dxf.text) for e in entities if e.dxftype() == "TEXT"]

# Bars: as many as the cells' "n - phi dia" texts say, each an insert of the filled disc BAR.
said = sum(int(m.group(1)) for x, t in texts if x < split for m in [re.match(r"(\d+) - (\d+) dia", t)] if m)
bars = [e for e in entities if e.dxftype() == "INSERT" and e.dxf.name == "BAR" and e.dxf.insert[0] < split]
check(said > 0 and len(bars) == said and all(e.dxf.layer == "BARS" for e in bars), f"bars: {len(bars)} drawn, {said} in texts")
check(counts[("POLYLINE", "TIES")] + counts[("CIRCLE", "TIES")] > 0, "no ties")

# The plan: a line and two bubbles per grid line (besides the dimension chains), and at every
# column position its mark, the same marks at the same grid references as the schedule's headings
# (and worksheet 4, when the workbook has it).
bubbles = [e.dxf.center for e in entities if e.dxftype() == "CIRCLE" and e.dxf.layer == "GRID"]


def at_bubble(p):
    return any(abs(abs(p[0] - c[0]) + abs(p[1] - c[1]) - 4) < 1e-6 for c in bubbles)


grid_lines = [e for e in entities if e.dxftype() == "LINE" and e.dxf.layer == "GRID"
              and at_bubble(e.dxf.start) and at_bubble(e.dxf.end)]
check(grid_lines and len(bubbles) == 2 * len(grid_lines), f"grid: {len(grid_lines)} lines, {len(bubbles)} bubbles")


def text_at(x, y):
    return [e.dxf.text for e in entities if e.dxftype() == "TEXT" and abs(e.dxf.insert[0] - x) < 1e-6
            and abs(e.dxf.insert[1] - y) < 1e-6]


letters, numbers = {}, {}
for e in entities:
    if e.dxftype() == "CIRCLE" and e.dxf.layer == "GRID":
        (label,) = text_at(e.dxf.center[0], e.dxf.center[1])
        (letters if label.isalpha() else numbers)[round(e.dxf.center[0] if label.isalpha() else e.dxf.center[1], 6)] = label


def nearest(axis, value):
    key = min(axis, key=lambda k: abs(k - value))
    return axis[key] if abs(key - value) < 1e-6 else "?"


# Every column outline on the plan as (centre x, centre y, half width, half height): a rectangle,
# or a round column as a filled disc (an insert of BAR scaled to its diameter).
outlines = []
for e in entities:
    if e.dxf.layer != "OUTLINE":
        continue
    if e.dxftype() == "POLYLINE" and list(e.points())[0][0] >= split:
        xs, ys = [p[0] for p in e.points()], [p[1] for p in e.points()]
        outlines.append(((min(xs) + max(xs)) / 2, (min(ys) + max(ys)) / 2, (max(xs) - min(xs)) / 2,
                         (max(ys) - min(ys)) / 2))
    elif e.dxftype() == "INSERT" and e.dxf.name == "BAR" and e.dxf.insert[0] >= split:
        outlines.append((e.dxf.insert[0], e.dxf.insert[1], e.dxf.xscale / 2, e.dxf.xscale / 2))
on_plan = collections.defaultdict(set)
for e in entities:
    # (The legend of marks, on NOTES, names them again.)
    if (e.dxftype() == "TEXT" and e.dxf.layer == "TEXT" and e.dxf.insert[0] >= split
            and re.fullmatch(r"C\d+", e.dxf.text)):
        # A mark stands up and right of its column's outline, 1 mm clear of it.
        (x, y), = [(cx, cy) for cx, cy, hw, hh in outlines
                   if abs(cx + hw + 1 - e.dxf.insert[0]) < 1e-6 and abs(cy + hh + 1 - e.dxf.insert[1]) < 1e-6]
        on_plan[e.dxf.text].add(nearest(letters, x) + "-" + nearest(numbers, y))
headings = collections.defaultdict(set)
marks = [e for e in entities if e.dxftype() == "TEXT" and e.dxf.insert[0] < split and e.dxf.height == 3.5
         and re.fullmatch(r"C\d+", e.dxf.text)]
for mark in marks:
    for e in entities:
        if (e.dxftype() == "TEXT" and abs(e.dxf.insert[0] - mark.dxf.insert[0]) < 1e-6
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
drawn_texts = collections.Counter(t for x, t in texts if x < split and t in cell_texts)
check(drawn_texts == cell_texts, f"cell texts: {drawn_texts - cell_texts} drawn only, {cell_texts - drawn_texts} missing")

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
titles = [decode_dxf_unicode(e.dxf.text) for e in doc.modelspace() if e.dxftype() == "TEXT" and "haus" in e.dxf.text]
check(titles and all("B\u00fcro haus \u03a9.anl" in t for t in titles), f"named DXF: titles {titles}")

finish("drawings checked")
