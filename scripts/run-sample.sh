#!/usr/bin/env bash
# Installs what is missing, builds, and writes the column schedule of the bundled sample model.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target tierwise-batch
out="$PWD/build/office-block-schedule.xlsx"
build/release/app/tierwise-batch samples/office-block.anl -o "$out"
echo "Open $out in your spreadsheet application."
