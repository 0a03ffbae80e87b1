#!/usr/bin/env bash
# Makes the menu icon's PNG sizes from packaging/icons/tierwise.svg with rsvg-convert (librsvg2-bin).
# The PNGs are committed, so that building needs no converter; run this after changing the SVG.
# The install rules take every packaging/icons/tierwise-<size>.png there is.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh librsvg2-bin
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert --width "$size" --height "$size" packaging/icons/tierwise.svg -o "packaging/icons/tierwise-$size.png"
done
ls -l packaging/icons
