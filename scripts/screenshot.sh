#!/usr/bin/env bash
# Pictures the tierwise window on the bundled sample model into docs/tierwise-window.png: the real
# program under Xvfb with Qt's X11 (xcb) platform plugin, at 96 DPI, grabbed from the X screen.
# BUILD_DIR names an existing build to use instead of configuring the dev preset.
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-docs/tierwise-window.png}"
build="${BUILD_DIR:-build/dev}"
[ -n "${BUILD_DIR:-}" ] || cmake --preset dev >/dev/null
cmake --build "$build" --target tierwise grab_screen

xvfb-run -a -s "-screen 0 1280x800x24 -dpi 96" bash -c '
  set -euo pipefail
  program=$1 model=$2 grab=$3 out=$4
  QT_QPA_PLATFORM=xcb "$program" "$model" &
  pid=$!
  trap "kill $pid 2>/dev/null || true" EXIT
  # The window is titled with the model'"'"'s full path; wait until it is on the screen.
  info=""
  for _ in $(seq 100); do
    info=$(xwininfo -name "$model" 2>/dev/null || true)
    grep -q "IsViewable" <<<"$info" && break
    sleep 0.1
  done
  grep -q "IsViewable" <<<"$info" || { echo "screenshot: the window did not appear" >&2; exit 1; }
  sleep 1  # let it paint
  field() { sed -n "s/^ *$1: *//p" <<<"$info"; }
  "$grab" "$(field "Absolute upper-left X")" "$(field "Absolute upper-left Y")" \
          "$(field Width)" "$(field Height)" "$out"
' _ "$PWD/$build/app/tierwise" "$PWD/samples/office-block.anl" "$PWD/$build/tests/ui/grab_screen" "$PWD/$out"
echo "Wrote $out"
