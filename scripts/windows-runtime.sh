# Sourced by the Windows scripts: what windeployqt would put beside a MinGW-w64 build's programs.
#   copy_windows_runtime DIR QT_PREFIX QTLIB...   the Qt DLLs named (Core Gui Widgets ...), the
#                                                  platform, style and image plugins, MinGW's runtime
copy_windows_runtime() {
  local dir=$1 qt_prefix=$2
  shift 2
  local lib kind
  for lib in "$@"; do cp "$qt_prefix/bin/Qt6$lib.dll" "$dir/"; done
  cp /usr/lib/gcc/x86_64-w64-mingw32/12-posix/{libstdc++-6,libgcc_s_seh-1}.dll \
    /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll "$dir/"
  for kind in platforms styles imageformats; do
    mkdir -p "$dir/$kind"
    cp "$qt_prefix/plugins/$kind"/*.dll "$dir/$kind/"
  done
}
