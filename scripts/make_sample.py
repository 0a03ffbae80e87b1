#!/usr/bin/env python3
"""Writes samples/office-block.anl: the printed output of an analysis and IS 456 design run of a
small four-storey reinforced-concrete office block, laid out as the analysis program prints it.
Run it again after changing the model below; the file is committed, so nothing else needs Python.

    make_sample.py [OUT.anl] [--levels Y0,Y1,Y2,Y3,Y4]

--levels puts the five levels (m) elsewhere, as scripts/screenshot.sh does for a model whose
floors lie a few centimetres apart."""
import sys

args = sys.argv[1:]
levels = None
if "--levels" in args:
    at = args.index("--levels")
    levels = [float(v) for v in args[at + 1].split(",")]
    if len(levels) != 5 or sorted(levels) != levels:
        sys.exit("make_sample.py: --levels wants five rising levels in metres")
    del args[at:at + 2]

TITLE = "OFFICE BLOCK C"
X = [0.0, 6.0, 12.0]          # m
Z = [0.0, 5.0, 10.0]          # m
Y = [0.0, 4.0, 7.2, 10.4, 13.6]  # m: ground and four floors
if levels:
    Y = levels
SETBACK = (2, 2)              # plan position (ix, iz) that stops at the second floor
CIRCULAR = (1, 2)             # the middle column of the back row is round
ROTATED = {(0, 1), (1, 1), (2, 1)}  # columns on the middle Z line are turned 90 degrees

out = []
line_no = 0
page = 1

def put(text=""):
    out.append(text)

def echo(cmd):
    global line_no
    line_no += 1
    put(f"{line_no:6d}. {cmd}")

def heading():
    global page
    page += 1
    put(f" \f    {TITLE:<57}-- PAGE NO. {page:4d}")
    put(" " * 8)

def stands(ix, iz, level):
    return not ((ix, iz) == SETBACK and level > 2)

joints = {}   # (ix, level, iz) -> joint number
for lv in range(len(Y)):
    k = 0
    for iz in range(len(Z)):
        for ix in range(len(X)):
            if stands(ix, iz, lv):
                k += 1
                joints[(ix, lv, iz)] = lv * 100 + k

columns = []  # (member, ix, iz, storey)
for lv in range(1, len(Y)):
    for iz in range(len(Z)):
        for ix in range(len(X)):
            if (ix, lv, iz) in joints:
                columns.append((len(columns) + 1, ix, iz, lv))
beams = []
for lv in range(1, len(Y)):
    for iz in range(len(Z)):
        for ix in range(len(X) - 1):
            a, b = joints.get((ix, lv, iz)), joints.get((ix + 1, lv, iz))
            if a and b:
                beams.append((a, b))
    for ix in range(len(X)):
        for iz in range(len(Z) - 1):
            a, b = joints.get((ix, lv, iz)), joints.get((ix, lv, iz + 1))
            if a and b:
                beams.append((a, b))

def section(ix, iz, lv):
    if (ix, iz) == CIRCULAR:
        return None, 450.0
    if ix == 1 or iz == 1:
        return 300.0, 600.0
    return 300.0, 450.0

put(f" \f{'PAGE NO.    1':>80}")
put("")
put("\x02")
put("             ****************************************************")
put("             *           STAAD.Pro                              *")
put("             *           Date=    NOV 16, 2025                  *")
put("             ****************************************************")
put("\x05")
put("")
echo(f"STAAD SPACE {TITLE}")
put("INPUT FILE: C:\\Projects\\OfficeC\\officec.STD")
echo("START JOB INFORMATION")
echo("ENGINEER DATE 16-NOV-25")
echo("END JOB INFORMATION")
echo("INPUT WIDTH 79")
echo("UNIT METER KN")
echo("JOINT COORDINATES")
items = [f"{n} {X[ix]:g} {Y[lv]:g} {Z[iz]:g}" for (ix, lv, iz), n in sorted(joints.items(), key=lambda kv: kv[1])]
for i in range(0, len(items), 3):
    if i == 18:
        heading()
    echo("; ".join(items[i:i + 3]))
echo("MEMBER INCIDENCES")
members = []
for m, ix, iz, lv in columns:
    lower, upper = joints[(ix, lv - 1, iz)], joints[(ix, lv, iz)]
    # the third floor's columns were typed top down; the reader turns them round
    members.append(f"{m} {upper} {lower}" if lv == 3 else f"{m} {lower} {upper}")
for i, (a, b) in enumerate(beams):
    members.append(f"{101 + i} {a} {b}")
for i in range(0, len(members), 4):
    echo("; ".join(members[i:i + 4]))
echo("* columns first, then beams")
echo("MEMBER PROPERTY INDIAN")
# Each column's section as its design block prints it (ZD X YD, a round one YD alone), the members
# of one section listed together, over continuation lines where they are many.
by_section = {}
for m, ix, iz, lv in columns:
    by_section.setdefault(section(ix, iz, lv), []).append(m)
for (w, d), ms in sorted(by_section.items(), key=lambda kv: kv[1][0]):
    words = []
    run = [ms[0]]
    for m in ms[1:] + [None]:
        if m is not None and m == run[-1] + 1:
            run.append(m)
            continue
        words += [str(run[0]), "TO", str(run[-1])] if len(run) > 2 else [str(n) for n in run]
        run = [m]
    prism = f"PRIS YD {d / 1000:g}" + ("" if w is None else f" ZD {w / 1000:g}")
    lines = [[]]
    for word in words:
        if len(" ".join(lines[-1] + [word])) > 36:
            lines.append([])
        lines[-1].append(word)
    for part in lines[:-1]:
        echo(" ".join(part) + " -")
    echo(" ".join(lines[-1] + [prism]))
echo(f"101 TO {100 + len(beams)} PRIS YD 0.5 ZD 0.25")
echo("CONSTANTS")
echo("E CONCRETE ALL")
rot = sorted(m for m, ix, iz, lv in columns if (ix, iz) in ROTATED)
echo(f"BETA 90 MEMB {rot[0]} TO {rot[2]} {rot[3]} TO {rot[5]} -")
echo(f"{rot[6]} TO {rot[8]} " + " ".join(str(m) for m in rot[9:]))
echo("SUPPORTS")
echo(" ".join(str(joints[(ix, 0, iz)]) for iz in range(len(Z)) for ix in range(len(X))) + " FIXED")
echo("LOAD 1 DEAD LOAD")
echo("SELFWEIGHT Y -1")
echo("PERFORM ANALYSIS")
put("")
put("            P R O B L E M   S T A T I S T I C S")
put("            -----------------------------------")
put(f"     NUMBER OF JOINTS {len(joints):10d}  NUMBER OF MEMBERS {len(members):7d}")
put("")
heading()
put("   JOINT DISPLACEMENT (CM   RADIANS)    STRUCTURE TYPE = SPACE")
put("   ------------------")
for (ix, lv, iz), n in sorted(joints.items(), key=lambda kv: kv[1]):
    put(f"{n:8d}    1   {0.01 * lv:9.4f}  {-0.02 * lv:9.4f}  {0.0:9.4f}  {0.0:9.4f}  {0.0:9.4f}  {0.0001 * lv:9.4f}")
put("")
echo("START CONCRETE DESIGN")
echo("CODE INDIAN")
echo("FC 25000 ALL")
echo("FYMAIN 415000 ALL")
echo(f"DESIGN COLUMN 1 TO {len(columns)}")

def area(ix, iz, lv):
    base = {1: 2160.37, 2: 1540.0, 3: 1080.0, 4: 1080.0}[lv]
    return base + 120.5 * ((ix * 7 + iz * 3) % 4)

for m, ix, iz, lv in columns:
    heading() if m % 6 == 0 else None
    w, d = section(ix, iz, lv)
    length = (Y[lv] - Y[lv - 1]) * 1000
    put(" " + "=" * 77)
    put("")
    put(f"                 C O L U M N   N O. {m:7d}  D E S I G N   R E S U L T S")
    put("")
    put("     M25                          Fe415 (Main)            Fe415 (Sec.)")
    put("")
    if w is None:
        put(f"     LENGTH: {length:7.1f} mm   CROSS SECTION: {d:6.1f} mm dia.   COVER: 40.0 mm")
    else:
        put(f"     LENGTH: {length:7.1f} mm   CROSS SECTION: {w:6.1f} mm X {d:6.1f} mm  COVER: 40.0 mm")
    put("")
    put(f"     ** GUIDING LOAD CASE:     1  END JOINT: {joints[(ix, lv - 1, iz)]:6d}  SHORT COLUMN")
    put("")
    put(f"     REQD. STEEL AREA   : {area(ix, iz, lv):10.2f} Sq.mm.")
    put(f"     REQD. CONCRETE AREA: {133920.0:10.2f} Sq.mm.")
    put("     MAIN REINFORCEMENT : Provide   4 - 20 dia. (0.93%, 1256.64 Sq.mm.)")
    put("                          (Equally distributed)")
    put("     TIE REINFORCEMENT  : Provide  8 mm dia. rectangular ties @ 300 mm c/c")
    put("")
    put("     INTERACTION RATIO:  0.87 (as per Cl. 39.6, IS456:2000)")
    put("")
echo("END CONCRETE DESIGN")
echo("FINISH")
put("")
put("         *********** END OF THE STAAD.Pro RUN ***********")

path = args[0] if args else "samples/office-block.anl"
with open(path, "w", newline="") as f:
    f.write("\r\n".join(out) + "\r\n")
