#!/usr/bin/env bash
# Draws the bundled sample's schedule drawing and renders it for the README: both PDF pages with
# pdftoppm (docs/images/schedule-sheet.png, docs/images/layout-plan.png, and the ductile run's
# docs/images/schedule-sheet-ductile.png) and the DXF as LibreCAD prints it
# (docs/schedule-dxf-librecad.png, through `librecad dxf2pdf` under Xvfb).
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${PRESET:-dev}
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target tierwise-batch generate_anl
out=build/drawing
rm -rf "$out"
mkdir -p "$out" docs
"build/$preset/app/tierwise-batch" samples/office-block.anl -o "$out/office-block.xlsx" \
  --drawing "$out/office-block.pdf" --drawing "$out/office-block.dxf"

mkdir -p docs/images
pdftoppm -r 100 -png -singlefile -f 1 -l 1 "$out/office-block.pdf" docs/images/schedule-sheet
"build/$preset/app/tierwise-batch" samples/office-block.anl -o "$out/office-block-ductile.xlsx" --ductile \
  --drawing "$out/office-block-ductile.pdf"
pdftoppm -r 70 -png -singlefile -f 1 -l 1 "$out/office-block-ductile.pdf" docs/images/schedule-sheet-ductile
pdftoppm -r 60 -png -singlefile -f 2 -l 2 "$out/office-block.pdf" docs/images/layout-plan
"build/$preset/bench/generate_anl" "$out/grid-40.anl" --grid 40 --storeys 2 >/dev/null
"build/$preset/app/tierwise-batch" "$out/grid-40.anl" -o "$out/grid-40.xlsx" --drawing "$out/grid-40.pdf" >/dev/null
pages=$(pdfinfo "$out/grid-40.pdf" | sed -n 's/^Pages: *//p')
pdftoppm -r 30 -png -singlefile -f $((pages - 1)) -l $((pages - 1)) "$out/grid-40.pdf" docs/images/layout-plan-parts

# LibreCAD needs a display even to print; the DXF's paper limits give the page its size.
mkdir -p "$out/librecad"
xvfb-run -a librecad dxf2pdf -a -t "$out/librecad" "$out/office-block.dxf" >/dev/null 2>&1
pdftoppm -r 80 -png -singlefile "$out/librecad/office-block.pdf" docs/schedule-dxf-librecad
ls -l docs/images/schedule-sheet.png docs/images/layout-plan.png docs/images/layout-plan-parts.png docs/schedule-dxf-librecad.png
