#!/usr/bin/env bash
# Pictures worksheet SHEET (default 4, "Column schedule") of the bundled sample as LibreOffice shows
# it, into OUT (default docs/worksheet-SHEET.png): tierwise-batch writes the workbook, LibreOffice
# exports it headless to PDF with one page per worksheet, and pdftoppm renders that page.
#   scripts/render-worksheet.sh [SHEET [OUT]]
# BUILD_DIR names an existing build to use instead of configuring the dev preset; BATCH_ARGS adds
# options of tierwise-batch (BATCH_ARGS=--ductile).
set -euo pipefail
cd "$(dirname "$0")/.."
sheet="${1:-4}"
out="${2:-docs/worksheet-$sheet.png}"
build="${BUILD_DIR:-build/dev}"
[ -n "${BUILD_DIR:-}" ] || cmake --preset dev >/dev/null
cmake --build "$build" --target tierwise-batch >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# shellcheck disable=SC2086 # BATCH_ARGS is split into options on purpose
"$build/app/tierwise-batch" samples/office-block.anl -o "$work/office-block.xlsx" ${BATCH_ARGS:-} >/dev/null
# A profile of its own, so that a LibreOffice already running does not take the job.
libreoffice -env:UserInstallation="file://$work/profile" --headless \
  --convert-to 'pdf:calc_pdf_Export:{"SinglePageSheets":{"type":"boolean","value":"true"}}' \
  --outdir "$work" "$work/office-block.xlsx" >/dev/null 2>&1
pages=$(pdfinfo "$work/office-block.pdf" | sed -n 's/^Pages: *//p')
[ "$pages" -ge "$sheet" ] || { echo "render-worksheet: the PDF has $pages pages, no worksheet $sheet" >&2; exit 1; }
pdftoppm -f "$sheet" -l "$sheet" -r 80 -png -singlefile "$work/office-block.pdf" "$work/worksheet"
cp "$work/worksheet.png" "$out"
echo "Wrote $out"
