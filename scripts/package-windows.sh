#!/usr/bin/env bash
# Builds dist/tierwise-<version>-windows-x64.zip with MinGW-w64 on Debian and checks it under Wine.
# Not for CI: a first run cross-builds Qt (about 45 minutes on two cores).
#
#   1. Qt 6 for Windows (scripts/try-qt-windows.sh steps 1-2) and cairo for Windows
#      (scripts/try-cairo-windows.sh), each built once into the cache folder and kept: $QTWIN, by
#      default ~/.cache/tierwise-windows; then tierwise.exe and tierwise-batch.exe (step 3);
#   2. `cmake --install` into the zip's folder, and beside the programs the DLLs they import, found
#      by following the imports (objdump -p): Qt's Core, Gui and Widgets, its windows platform
#      plugin, and MinGW's C++ runtime, which Qt's DLLs link (the programs themselves link it
#      statically); the licences of all that is in the zip, and README.txt;
#   3. the zip;
#   4. the zip as a user unpacks it, in a new folder and a new Wine prefix, with nothing on PATH:
#      every .exe and .dll imports only DLLs in the zip or Windows' own; tierwise-batch.exe answers
#      --version, writes the sample's workbook equal cell by cell to the Linux build's, and its PDF
#      and SVG drawings; tierwise.exe opens the sample under Xvfb (its picture kept as
#      docs/tierwise-window-windows.png) and "Send To Excel" writes the workbook.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/scripts/windows-runtime.sh"
work="$(windows_cache)"
export QTWIN="$work" TIERWISE_SOURCE="$root"
qt_prefix="$work/prefix"
out="$work/tierwise-build"
started=$(date +%s)
say() { echo "== package-windows: $* ($(($(date +%s) - started)) s)"; }
"$root/scripts/install-deps.sh" wine wine64 fonts-dejavu-core xvfb xdotool x11-utils imagemagick poppler-utils python3-openpyxl \
  cmake ninja-build g++ pkg-config libxlsxwriter-dev libcli11-dev

# --- 1. Qt, cairo and the build -------------------------------------------------------------------
[ -f "$qt_prefix/bin/Qt6Core.dll" ] || "$root/scripts/try-qt-windows.sh" 1 2
"$root/scripts/try-cairo-windows.sh"
TIERWISE_WINDOWS_TARGETS="tierwise tierwise-batch" "$root/scripts/try-qt-windows.sh" 3 3

# --- 2. the install tree with its DLLs, licences and README ----------------------------------------
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$out/CMakeCache.txt")
name="tierwise-$version-windows-x64"
dist="$root/dist"
stage="$work/stage/$name"
rm -rf "$work/stage"
cmake --install "$out" --prefix "$stage" >/dev/null
bin="$stage/bin"
mkdir -p "$bin/platforms"
cp "$qt_prefix/plugins/platforms/qwindows.dll" "$bin/platforms/"
copy_imports "$bin" "$qt_prefix/bin" "$bin"/*.exe "$bin/platforms/qwindows.dll"
# Without their symbols, as the .deb's (MinGW's libstdc++-6.dll alone shrinks from 23 MB to 2).
find "$bin" \( -name '*.exe' -o -name '*.dll' \) -exec x86_64-w64-mingw32-strip --strip-unneeded {} +
cp "$root/packaging/windows/README.txt" "$stage/README.txt"
licences="$stage/licences"
mkdir -p "$licences/Qt"
cp "$root/third_party/libxlsxwriter/License.txt" "$licences/libxlsxwriter.txt"  # with minizip's and tmpfileplus'
cp /usr/share/doc/libz-mingw-w64-dev/copyright "$licences/zlib.txt"
cp /usr/share/doc/mingw-w64-common/copyright "$licences/MinGW-w64-runtime.txt"
cp /usr/share/doc/gcc-mingw-w64-base/copyright "$licences/GCC-runtime-libstdc++-libgcc.txt"
qt_src=$(ls -d "$work"/qtbase-everywhere-src-*)
cp "$qt_src/LICENSES/LGPL-3.0-only.txt" "$qt_src/LICENSES/GPL-3.0-only.txt" "$licences/Qt/"
cp "$work/debian/copyright" "$licences/Qt/copyright-debian.txt"
"$root/scripts/qt_notices.py" "$qt_src" >"$licences/Qt/third-party-notices.txt"
cp "$root/packaging/windows/Qt-SOURCE.txt" "$licences/Qt/SOURCE.txt"
if grep -q '^TIERWISE_WITH_CAIRO:BOOL=ON' "$out/CMakeCache.txt"; then
  cairo_src=$(ls -d "$work"/cairo-src/cairo-*/)
  cp "$cairo_src/COPYING" "$licences/cairo.txt"
  cp "$cairo_src/COPYING-MPL-1.1" "$licences/cairo-MPL-1.1.txt"
  cp "$cairo_src/COPYING-LGPL-2.1" "$licences/cairo-LGPL-2.1.txt"
  cp "$root/packaging/windows/cairo-SOURCE.txt" "$licences/cairo-SOURCE.txt"
  cp "$work"/cairo-src/pixman-*/COPYING "$licences/pixman.txt"
  cp "$work"/cairo-src/libpng-*/LICENSE "$licences/libpng.txt"
fi

# --- 3. the zip -----------------------------------------------------------------------------------
mkdir -p "$dist"
zip="$dist/$name.zip"
rm -f "$zip"
(cd "$work/stage" && zip -q -r -9 -X "$zip" "$name")
say "$(basename "$zip"): $(stat -c %s "$zip") bytes"

# --- 4. the zip as a user unpacks it --------------------------------------------------------------
check=$(mktemp -d)
xvfb=""
finish() {
  WINEPREFIX="$check/wine" wineserver -k >/dev/null 2>&1 || true
  [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
  rm -rf "$check"
}
trap finish EXIT
(cd "$check" && unzip -q "$zip")
bin="$check/$name/bin"
system_dlls='^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comdlg32|imm32|winmm|ws2_32|uxtheme|dwmapi|shcore|shlwapi|version|netapi32|userenv|wtsapi32|mpr|authz|setupapi|d3d9|d3d11|dxgi|dwrite|bcrypt|msimg32|msvcrt|ucrtbase|api-ms-win-.*)\.dll$'
missing=0
while IFS= read -r -d '' file; do
  while read -r dll; do
    lower=$(tr '[:upper:]' '[:lower:]' <<<"$dll")
    grep -Eq "$system_dlls" <<<"$lower" || [ -f "$bin/$dll" ] || {
      echo "${file#"$bin"/} imports $dll, which is neither in the zip nor Windows' own"
      missing=1
    }
  done < <(x86_64-w64-mingw32-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p')
done < <(find "$bin" -name '*.exe' -print0 -o -name '*.dll' -print0)
[ "$missing" -eq 0 ]
say "every DLL imported is in the zip or Windows' own"

# A new Wine prefix, nothing on PATH but Windows' own folders, run from a folder of its own.
wine_dejavu_fonts "$check"
export WINEPREFIX="$check/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset WINEPATH
# A display of its own: Xvfb picks a free number and writes it to fd 3.
Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp 3>"$check/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 50); do [ -s "$check/display" ] && break; sleep 0.2; done
DISPLAY=":$(cat "$check/display")"
export DISPLAY
wineboot --init >/dev/null 2>&1 || true
wineserver -w
wine_arial_as_dejavu
wineserver -p 120 </dev/null >/dev/null 2>&1 || true
runs="$check/runs"
mkdir -p "$runs"
cd "$runs"
answer=$(wine "$bin/tierwise-batch.exe" --version | tr -d '\r')
[ "$answer" = "tierwise-batch $version" ] || { echo "tierwise-batch.exe --version: $answer" >&2; exit 1; }
say "$answer"

linux="$root/build/dev/app/tierwise-batch"
[ -x "$linux" ] || (cd "$root" && cmake --preset dev >/dev/null && cmake --build --preset dev --target tierwise-batch >/dev/null)
sample="$check/$name/share/tierwise/samples/office-block.anl"
"$linux" "$sample" -o "$runs/linux.xlsx" >/dev/null
drawings=()
# (Not `unzip | grep -q`: grep leaving early breaks unzip's pipe, which pipefail counts as a failure.)
grep -q 'licences/cairo' <<<"$(unzip -Z1 "$zip")" && drawings=(--drawing office-block.pdf --drawing office-block.svg)
wine "$bin/tierwise-batch.exe" "$(winepath -w "$sample")" -o office-block.xlsx "${drawings[@]}" >/dev/null
/usr/bin/python3 "$root/scripts/compare_workbooks.py" "$runs/linux.xlsx" "$runs/office-block.xlsx"
if [ "${#drawings[@]}" -gt 0 ]; then
  pages=$(pdfinfo office-block.pdf | sed -n 's/^Pages: *//p')
  [ "${pages:-0}" -ge 1 ] || { echo "office-block.pdf is no PDF pdfinfo reads" >&2; exit 1; }
  [ -n "$(pdffonts office-block.pdf | sed -n '3,$p')" ] || { echo "office-block.pdf has no font" >&2; exit 1; }
  grep -q '<svg' office-block.svg || { echo "office-block.svg is no SVG" >&2; exit 1; }
  say "the drawing as PDF ($pages pages, font $(pdffonts office-block.pdf | sed -n '3p' | cut -d' ' -f1)) and SVG"
fi

# The window on the sample; "Send To Excel" clicked where WindowLayout puts it (twips, 15 a pixel at 96 DPI).
(wine "$bin/tierwise.exe" "$(winepath -w "$sample")" >"$runs/tierwise.log" 2>&1 &)
geometry=$(wine_window_geometry)
import -window root "$runs/root.png"
convert "$runs/root.png" -crop "$geometry" +repage "$root/docs/tierwise-window-windows.png"
twips() { sed -n "s/.*int32_t $1 = \([0-9]*\);.*/\1/p" "$root/src/ui/window_layout.h"; }
left=${geometry#*+}
left=${left%%+*}
top=${geometry##*+}
x=$((left + ($(twips buttonLeft) + $(twips buttonWidth) / 2) / 15))
y=$((top + ($(twips buttonTop) + $(twips buttonHeight) / 2) / 15))
xdotool mousemove "$x" "$y" click 1
book=""
for _ in $(seq 30); do
  sleep 1
  book=$(find "$WINEPREFIX/drive_c/users" -path '*tierwise-*' -name '*.xlsx' | head -1)
  [ -n "$book" ] && break
done
[ -n "$book" ] || { echo "\"Send To Excel\" wrote no workbook" >&2; exit 1; }
sleep 1
say "\"Send To Excel\" wrote ${book#"$WINEPREFIX/drive_c/"}"
/usr/bin/python3 "$root/scripts/compare_workbooks.py" "$runs/linux.xlsx" "$book"
say "passed: $zip ($(du -k "$zip" | cut -f1) kB; picture of the window in docs/tierwise-window-windows.png)"
