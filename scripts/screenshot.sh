#!/usr/bin/env bash
# Pictures the tierwise window: the real program under Xvfb with Qt's X11 (xcb) platform plugin,
# grabbed from the X screen.
#   docs/tierwise-window.png        the bundled sample at 96 DPI (the README's picture)
#   docs/tierwise-close-levels.png  four floors within 15 cm of each other, spread with leaders
# and, in OUT_DIR (build/screenshots unless given), the same close floors and a 60-storey tower at
# scale 1 and at QT_SCALE_FACTOR=2 on a 1920x1200 screen, and the sample on a 1024x768 screen.
# BUILD_DIR names an existing build to use instead of configuring the dev preset.
set -euo pipefail
cd "$(dirname "$0")/.."
for tool in xvfb-run xauth xwininfo python3; do
    command -v "$tool" >/dev/null || {
        echo "screenshot.sh: $tool is missing (Debian: apt-get install xvfb xauth x11-utils python3)" >&2
        exit 1
    }
done
build="${BUILD_DIR:-build/dev}"
shots="${OUT_DIR:-build/screenshots}"
[ -n "${BUILD_DIR:-}" ] || cmake --preset dev >/dev/null
cmake --build "$build" --target tierwise grab_screen generate_anl
mkdir -p "$shots"

models=$(mktemp -d)
trap 'rm -rf "$models"' EXIT
# A steel frame's floors 530.61 to 530.76 m, and a tower of 60 storeys (4 m, then 3.2 m).
python3 scripts/make_sample.py "$models/close-levels.anl" --levels 526.61,530.61,530.66,530.71,530.76
"$build/bench/generate_anl" "$models/tower-60.anl" --grid 2 --storeys 60 --size 0 >/dev/null

# shoot MODEL OUT.png SCALE SCREEN (WIDTHxHEIGHT)
shoot() {
    xvfb-run -a -s "-screen 0 $4x24 -dpi 96" env QT_SCALE_FACTOR="$3" bash -c '
      set -euo pipefail
      program=$1 model=$2 grab=$3 out=$4
      QT_QPA_PLATFORM=xcb "$program" "$model" &
      pid=$!
      trap "kill $pid 2>/dev/null || true" EXIT
      # The window'"'"'s title starts with the model'"'"'s full path; wait until it is on the screen.
      info=""
      for _ in $(seq 100); do
        id=$(xwininfo -root -tree 2>/dev/null | grep -F "\"$model" | head -1 | awk "{print \$1}" || true)
        [ -n "$id" ] && info=$(xwininfo -id "$id" 2>/dev/null || true)
        grep -q "IsViewable" <<<"$info" && break
        sleep 0.1
      done
      grep -q "IsViewable" <<<"$info" || { echo "screenshot: the window did not appear" >&2; exit 1; }
      sleep 1  # let it paint
      field() { sed -n "s/^ *$1: *//p" <<<"$info"; }
      # The grab counts device pixels as the window does; at scale 1 for both.
      QT_SCALE_FACTOR=1 "$grab" "$(field "Absolute upper-left X")" "$(field "Absolute upper-left Y")" \
              "$(field Width)" "$(field Height)" "$out"
    ' _ "$PWD/$build/app/tierwise" "$1" "$PWD/$build/tests/ui/grab_screen" "$PWD/$2"
    echo "Wrote $2"
}

shoot "$PWD/samples/office-block.anl" docs/tierwise-window.png 1 1280x800
shoot "$models/close-levels.anl" docs/tierwise-close-levels.png 1 1280x800
shoot "$models/close-levels.anl" "$shots/close-levels-scale2.png" 2 1920x1200
shoot "$models/tower-60.anl" "$shots/tower-60.png" 1 1280x800
shoot "$models/tower-60.anl" "$shots/tower-60-scale2.png" 2 1920x1200
shoot "$PWD/samples/office-block.anl" "$shots/office-block-1024x768.png" 1 1024x768
shoot "$PWD/samples/office-block.anl" "$shots/office-block-scale1.5.png" 1.5 1920x1200
