#!/usr/bin/env bash
# Builds the Windows zip tierwise-<version>-win64.zip with MinGW-w64 on Debian and checks it under
# Wine. Not run yet: its first step is the 40-minute cross-build of Qt.
#
#   1. scripts/try-qt-windows.sh steps 1-3: Qt 6 for Windows in $QTWIN/prefix (built once, kept),
#      libxlsxwriter, and the Tierwise build in $QTWIN/tierwise-build;
#   2. tierwise-batch.exe too, `cmake --install` into tierwise-<version>-win64/, and beside the
#      programs what windeployqt would put there (a cross build has none): Qt's DLLs and plugins
#      and MinGW's C++ runtime, which Qt's DLLs link;
#   3. the zip, in $QTWIN/dist;
#   4. the zip unpacked afresh: every .exe and .dll imports only DLLs in the zip or Windows' own,
#      and under Wine tierwise-batch.exe answers --version and writes the sample's workbook.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/scripts/windows-runtime.sh"
work="${QTWIN:-/tmp/qtwin}"
qt_prefix="$work/prefix"
out="$work/tierwise-build"
say() { echo "== package-windows: $*"; }

# --- 1. Qt and the build --------------------------------------------------------------------------
[ -f "$qt_prefix/bin/Qt6Core.dll" ] || TIERWISE_SOURCE="$root" "$root/scripts/try-qt-windows.sh" 1 2
TIERWISE_SOURCE="$root" "$root/scripts/try-qt-windows.sh" 3 3
cmake --build "$out" --target tierwise-batch

# --- 2. the install tree with its DLLs ------------------------------------------------------------
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$out/CMakeCache.txt")
name="tierwise-$version-win64"
dist="$work/dist"
stage="$dist/$name"
rm -rf "$dist"
cmake --install "$out" --prefix "$stage" >/dev/null
copy_windows_runtime "$stage/bin" "$qt_prefix" Core Gui Widgets

# --- 3. the zip -----------------------------------------------------------------------------------
zip="$dist/$name.zip"
(cd "$dist" && cmake -E tar cf "$zip" --format=zip "$name")

# --- 4. the zip as a user unpacks it --------------------------------------------------------------
check="$dist/check"
mkdir -p "$check"
(cd "$check" && cmake -E tar xf "$zip")
bin="$check/$name/bin"
system_dlls='^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comdlg32|imm32|winmm|ws2_32|uxtheme|dwmapi|shlwapi|version|netapi32|userenv|wtsapi32|mpr|authz|setupapi|d3d9|d3d11|dxgi|dwrite|bcrypt|msvcrt|ucrtbase|api-ms-win-.*)\.dll$'
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

export WINEPREFIX="$work/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
[ -f "$WINEPREFIX/system.reg" ] || { wineboot --init >/dev/null 2>&1 || true; }
answer=$(wine "$bin/tierwise-batch.exe" --version | tr -d '\r')
[ "$answer" = "tierwise-batch $version" ] || { echo "tierwise-batch.exe --version: $answer" >&2; exit 1; }
echo "$answer"
wine "$bin/tierwise-batch.exe" "$(winepath -w "$check/$name/share/tierwise/samples/office-block.anl")" \
  -o "$(winepath -w "$check/office-block.xlsx")"
[ -s "$check/office-block.xlsx" ]
wineserver -k >/dev/null 2>&1 || true
say "$(basename "$zip"): $(stat -c %s "$zip") bytes; unpacked and checked"
