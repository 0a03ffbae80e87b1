# shellcheck shell=bash
# Sourced by the Windows scripts: what windeployqt would put beside a MinGW-w64 build's programs.
#   copy_windows_runtime DIR QT_PREFIX QTLIB...   the Qt DLLs named (Core Gui Widgets ...), the
#                                                  platform, style and image plugins, MinGW's runtime
#   copy_imports DIR QT_BIN FILE...               the DLLs FILE... import, and those they import,
#                                                  from Qt and MinGW (not Windows' own) into DIR
#   windows_cache                                  the folder the Windows builds are kept in
#   wine_dejavu_fonts DIR                          Wine's stand-in fonts from DejaVu alone
#   wine_window_geometry                           waits for tierwise.exe's window, prints "WxH+X+Y"
#   wine_arial_as_dejavu                           in $WINEPREFIX, Arial (which the Windows builds draw
#                                                  PDF and SVG text in) stood in by DejaVu Sans
mingw_runtime_dirs=(/usr/lib/gcc/x86_64-w64-mingw32/12-posix /usr/x86_64-w64-mingw32/lib)

copy_windows_runtime() {
  local dir=$1 qt_prefix=$2
  shift 2
  local lib kind
  for lib in "$@"; do cp "$qt_prefix/bin/Qt6$lib.dll" "$dir/"; done
  cp "${mingw_runtime_dirs[0]}"/{libstdc++-6,libgcc_s_seh-1}.dll "${mingw_runtime_dirs[1]}/libwinpthread-1.dll" "$dir/"
  for kind in platforms styles imageformats; do
    mkdir -p "$dir/$kind"
    cp "$qt_prefix/plugins/$kind"/*.dll "$dir/$kind/"
  done
}

copy_imports() {
  local dir=$1 qt_bin=$2
  shift 2
  local file dll from
  for file in "$@"; do
    while read -r dll; do
      [ -f "$dir/$dll" ] && continue
      for from in "$qt_bin" "${mingw_runtime_dirs[@]}"; do
        if [ -f "$from/$dll" ]; then
          cp "$from/$dll" "$dir/"
          copy_imports "$dir" "$qt_bin" "$dir/$dll"
          break
        fi
      done
    done < <(x86_64-w64-mingw32-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p')
  done
}

# $QTWIN, else tierwise-windows in the user's cache folder: it survives between runs (Qt's build
# takes about 45 minutes).
windows_cache() { echo "${QTWIN:-${XDG_CACHE_HOME:-$HOME/.cache}/tierwise-windows}"; }

# Wine takes the fonts it stands in for Windows' own (Tahoma, MS Shell Dlg) from the machine's
# fontconfig; with TeX's math fonts installed (fonts-lyx) it draws a window's text in those. A
# fontconfig of DejaVu's fonts alone, written into DIR, for the Wine runs that follow.
wine_dejavu_fonts() {
  cat >"$1/fonts.conf" <<EOF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig><dir>/usr/share/fonts/truetype/dejavu</dir><cachedir>$1/fontconfig</cachedir></fontconfig>
EOF
  export FONTCONFIG_FILE="$1/fonts.conf"
}

# Wine has no Arial and would take its nearest face, with DejaVu alone a math font; DejaVu Sans is
# the face the drawing's text widths are measured for.
wine_arial_as_dejavu() {
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /d 'DejaVu Sans' /f >/dev/null 2>&1
  wineserver -w
}

# Up to a minute for tierwise.exe's window under Wine to appear and stand still (Wine places it
# after mapping it, later on a busy machine); its geometry "WxH+X+Y", from xwininfo's line
# "0xa00004 "Z:\...\office-block.anl": ("tierwise.exe" "tierwise.exe")  1077x575+101+162  +101+162".
wine_window_geometry() {
  local window geometry="" last=""
  for _ in $(seq 60); do
    sleep 1
    window=$(xwininfo -root -tree | grep '"tierwise.exe" "tierwise.exe"' | grep -v 'Default IME' | head -1 || true)
    geometry=$(grep -oE '[0-9]+x[0-9]+\+[0-9]+\+[0-9]+' <<<"$window" | head -1 || true)
    [ -n "$geometry" ] && [ "$geometry" = "$last" ] && break
    last=$geometry
  done
  [ -n "$geometry" ] && [ "$geometry" = "$last" ] || { echo "no tierwise window stood still" >&2; return 1; }
  sleep 2
  echo "$geometry"
}
