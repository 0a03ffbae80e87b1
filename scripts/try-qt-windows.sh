#!/usr/bin/env bash
# A trial, not for CI: Debian's Qt 6 (qt6-base 6.4.2+dfsg-10) cross-built for Windows with MinGW-w64,
# then the window tierwise.exe and its test programs built with it and run under Wine.
#
#   1. downloads Debian's qt6-base source from deb.debian.org, checks it and applies Debian's patches
#      and two one-line fixes that a build without OpenGL and Direct2D needs;
#   2. configures and builds Core, Gui, Widgets, Test and the platform plugins (windows, offscreen,
#      minimal) into $QTWIN/prefix, with the host tools (moc, rcc, uic) of the installed Linux Qt;
#   3. builds libxlsxwriter, GoogleTest and CLI11 for Windows into $QTWIN/deps as
#      scripts/test-windows.sh does, then tierwise.exe and tests/ui in $QTWIN/tierwise-build;
#   4. runs the window's tests under Wine;
#   5. starts tierwise.exe on the sample under Xvfb and saves a picture of its window as
#      $QTWIN/tierwise-window-wine.png.
#
#   scripts/try-qt-windows.sh [first step [last step]]   (steps 1-5)
#
# QTWIN names the folder everything is built in and kept between runs, by default
# ~/.cache/tierwise-windows (windows_cache in scripts/windows-runtime.sh). Step 3 builds with the
# cross-built cairo of scripts/try-cairo-windows.sh (PDF and SVG drawings) when it is there.
#
# The Qt build takes about 40 minutes on two cores. Qt's DLLs link MinGW's libstdc++-6.dll,
# libgcc_s_seh-1.dll and libwinpthread-1.dll, which are copied beside the programs with Qt's DLLs
# and plugins (there is no windeployqt in a cross build).
set -euo pipefail
first="${1:-1}"
last="${2:-5}"
step() { [ "$first" -le "$1" ] && [ "$last" -ge "$1" ]; }
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/windows-runtime.sh"
work="$(windows_cache)"
if [ -n "${TIERWISE_SOURCE:-}" ]; then
  source_dir="$TIERWISE_SOURCE"
elif [ -f "$here/../cmake/mingw-w64-x86_64.cmake" ]; then
  source_dir="$(cd "$here/.." && pwd)"
else
  echo "set TIERWISE_SOURCE to a Tierwise checkout" >&2
  exit 1
fi
toolchain="$source_dir/cmake/mingw-w64-x86_64.cmake"
jobs="${TIERWISE_JOBS:-2}"
started=$(date +%s)
say() { echo "== try-qt-windows: $* ($(($(date +%s) - started)) s, $(date -u +%T) UTC)"; }
mkdir -p "$work"
cd "$work"

qt_version=6.4.2
debian_revision=10
qt_src="$work/qtbase-everywhere-src-$qt_version"
qt_build="$work/qt-build"
qt_prefix="$work/prefix"
deps="$work/deps"
out="$work/tierwise-build"

packages=(cmake ninja-build curl xz-utils g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine wine64
  qt6-base-dev qt6-base-dev-tools libgtest-dev libcli11-dev xvfb imagemagick x11-utils fonts-dejavu-core)
"$source_dir/scripts/install-deps.sh" "${packages[@]}"
host_qt=$(dpkg-query -W -f='${Version}' qt6-base-dev)
[ "$host_qt" = "$qt_version+dfsg-$debian_revision" ] || echo "warning: the host Qt is $host_qt, the source $qt_version+dfsg-$debian_revision"

# --- 1. Debian's qt6-base source ---------------------------------------------------------------
if step 1; then
  say "downloading qt6-base $qt_version+dfsg-$debian_revision"
  pool=http://deb.debian.org/debian/pool/main/q/qt6-base
  for f in "qt6-base_$qt_version+dfsg.orig.tar.xz" "qt6-base_$qt_version+dfsg-$debian_revision.debian.tar.xz" \
    "qt6-base_$qt_version+dfsg-$debian_revision.dsc"; do
    [ -f "$f" ] || curl -sSfO "$pool/$f"
  done
  # The tarballs' SHA-256 as the .dsc lists them.
  sed -n '/^Checksums-Sha256:/,/^[A-Z]/s/^ \([0-9a-f]\{64\}\) [0-9]* \(.*\)$/\1  \2/p' \
    "qt6-base_$qt_version+dfsg-$debian_revision.dsc" | sha256sum -c -
  rm -rf "$qt_src" debian
  tar xf "qt6-base_$qt_version+dfsg.orig.tar.xz"
  tar xf "qt6-base_$qt_version+dfsg-$debian_revision.debian.tar.xz"
  grep -v -e '^#' -e '^$' debian/patches/series | while read -r p; do
    patch -d "$qt_src" -p1 -s <"debian/patches/$p"
  done
  # Qt 6.4 does not build for Windows without OpenGL and Direct2D as it stands: the windows plugin
  # uses QOpenGLStaticContext when dynamicgl is on (it stays on with FEATURE_opengl=OFF), and
  # QWindowsDirectWriteFontDatabase, which QtGui compiles only with Direct2D.
  sed -i '2296s/^#if QT_CONFIG(dynamicgl)$/#if QT_CONFIG(dynamicgl) \&\& QT_CONFIG(opengl)/' \
    "$qt_src/src/plugins/platforms/windows/qwindowswindow.cpp"
  sed -i 's/^#if QT_CONFIG(directwrite3)$/#if QT_CONFIG(directwrite3) \&\& QT_CONFIG(direct2d)/' \
    "$qt_src/src/plugins/platforms/windows/qwindowsintegration.cpp"
  [ "$(grep -c 'QT_CONFIG(dynamicgl) && QT_CONFIG(opengl)' "$qt_src/src/plugins/platforms/windows/qwindowswindow.cpp")" -eq 1 ]
  [ "$(grep -c 'QT_CONFIG(directwrite3) && QT_CONFIG(direct2d)' "$qt_src/src/plugins/platforms/windows/qwindowsintegration.cpp")" -eq 2 ]
fi

# --- 2. Qt for Windows ---------------------------------------------------------------------------
if step 2; then
  say "configuring Qt"
  rm -rf "$qt_build" "$qt_prefix"
  # wintab.h (tablets) is not in MinGW-w64 and Debian's source leaves out src/3rdparty/wintab;
  # the third-party libraries Qt bundles are used, so that nothing but zlib comes from MinGW.
  /usr/bin/time -f "configure: %e s wall" nice -n 10 cmake -S "$qt_src" -B "$qt_build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$qt_prefix" \
    -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF -DQT_BUILD_MANUAL_TESTS=OFF \
    -DBUILD_WITH_PCH=OFF \
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF \
    -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF \
    -DFEATURE_vulkan=OFF -DFEATURE_direct2d=OFF -DFEATURE_direct2d1_1=OFF \
    -DFEATURE_tabletevent=OFF \
    -DFEATURE_icu=OFF -DFEATURE_zstd=OFF -DFEATURE_glib=OFF \
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_doubleconversion=OFF \
    -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF -DFEATURE_jpeg=OFF \
    -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_fontconfig=OFF \
    -DFEATURE_androiddeployqt=OFF >"$work/qt-configure.log"
  say "building Qt (about 40 minutes on two cores)"
  /usr/bin/time -f "build: %e s wall" nice -n 10 cmake --build "$qt_build" --parallel "$jobs" >"$work/qt-build.log"
  cmake --install "$qt_build" >/dev/null
fi

# --- 3. Tierwise's window for Windows ------------------------------------------------------------
if step 3; then
  # libxlsxwriter and GoogleTest for Windows, built again only when they or the toolchain change.
  stamp="$(sha1sum <"$toolchain" | cut -c1-12) $(find "$source_dir/third_party/libxlsxwriter" -type f -print0 |
    sort -z | xargs -0 cat | sha1sum | cut -c1-12) gtest $(dpkg-query -W -f='${Version}' libgtest-dev)"
  if [ "$(cat "$deps/.stamp" 2>/dev/null)" != "$stamp" ]; then
    say "building libxlsxwriter, GoogleTest and CLI11 for Windows"
    rm -rf "$deps" "$work/deps-build"
    for lib in xlsxwriter googletest; do
      if [ "$lib" = xlsxwriter ]; then
        args=(-S "$source_dir/third_party/libxlsxwriter")
      else
        args=(-S /usr/src/googletest -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON)
      fi
      nice -n 10 cmake "${args[@]}" -B "$work/deps-build/$lib" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$deps" >/dev/null
      nice -n 10 cmake --build "$work/deps-build/$lib" -j "$jobs" >/dev/null
      cmake --install "$work/deps-build/$lib" >/dev/null
    done
    mkdir -p "$deps/include"
    cp -r /usr/include/CLI "$deps/include/"
    echo "$stamp" >"$deps/.stamp"
  fi

  say "building tierwise.exe, tierwise-batch.exe and tests/ui"
  # A build folder made from another checkout is made afresh.
  if ! grep -qx "CMAKE_HOME_DIRECTORY:INTERNAL=$source_dir" "$out/CMakeCache.txt" 2>/dev/null; then rm -rf "$out"; fi
  cairo_prefix="$work/cairo-prefix"
  with_cairo=OFF
  prefixes="$qt_prefix;$deps"
  if [ -f "$cairo_prefix/lib/libcairo.a" ]; then
    with_cairo=ON
    prefixes="$prefixes;$cairo_prefix"
    # Only the cross-built pkg-config files, never the build machine's.
    export PKG_CONFIG_LIBDIR="$cairo_prefix/lib/pkgconfig:/usr/x86_64-w64-mingw32/lib/pkgconfig"
  fi
  nice -n 10 cmake -S "$source_dir" -B "$out" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_PREFIX_PATH="$prefixes" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
    -DTIERWISE_BUILD_GUI=ON -DTIERWISE_BUILD_BENCH=OFF -DTIERWISE_WITH_CAIRO=$with_cairo -DTIERWISE_WERROR=ON >/dev/null
  # TIERWISE_WINDOWS_TARGETS: the programs alone, say, for the zip.
  read -r -a targets <<<"${TIERWISE_WINDOWS_TARGETS:-tierwise tierwise-batch level_window_tests window_scale_tests diagram_tests grab_screen}"
  nice -n 10 cmake --build "$out" -j "$jobs" --target "${targets[@]}"

  # What windeployqt would put beside the programs.
  for dir in "$out/app" "$out/tests/ui"; do
    if [ -d "$dir" ]; then copy_windows_runtime "$dir" "$qt_prefix" Core Gui Widgets Test; fi
  done
fi

# --- Wine and a display ---------------------------------------------------------------------------
step 4 || step 5 || { say "done"; exit 0; }
export WINEPREFIX="$work/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=:77
wine_dejavu_fonts "$work"
Xvfb :77 -screen 0 1280x900x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
trap 'wineserver -k >/dev/null 2>&1 || true; kill "$xvfb" 2>/dev/null || true' EXIT
sleep 2
# A new prefix each run: Wine keeps the fonts it found in the prefix's registry.
rm -rf "$WINEPREFIX"
wineboot --init >/dev/null 2>&1 || true
wineserver -w
wineserver -k >/dev/null 2>&1 || true
wineserver -p 60 </dev/null >/dev/null 2>&1 || true
wine wineboot </dev/null >/dev/null 2>&1 || true

# --- 4. the window's tests under Wine --------------------------------------------------------------
if step 4; then
  say "running the window's tests under Wine"
  # Wine leaves out the Unix environment's QT_* variables (and PATH, TEMP, ...); it passes
  # WINEQT_QPA_PLATFORM as QT_QPA_PLATFORM (tests/ui/CMakeLists.txt sets both). The offscreen
  # platform of a Windows Qt also needs a folder of fonts (Qt ships none), so level_window_tests and
  # window_scale_tests are run here directly, with DejaVu's.
  results="$work/results"
  rm -rf "$results"
  mkdir -p "$results"
  ui="$out/tests/ui"
  fonts=/usr/share/fonts/truetype/dejavu
  status=0
  ctest --test-dir "$ui" -E '^ui\.(window|scale)\.' --timeout 300 -j "$jobs" | tail -3 || status=1
  (cd "$ui" && WINEQT_QPA_FONTDIR=$fonts WINEQT_QPA_PLATFORM=offscreen \
    wine level_window_tests.exe -o "$results/level_window_tests.txt,txt" >/dev/null 2>&1) || status=1
  for run in 1920x1200@1 1920x1200@1.25 1920x1200@1.5 1920x1200@2 1024x768@1; do
    (cd "$ui" && WINEQT_QPA_FONTDIR=$fonts WINEQT_QPA_PLATFORM="offscreen:configfile=$ui/screen-${run%@*}.json" \
      WINEQT_SCALE_FACTOR=${run#*@} wine window_scale_tests.exe -o "$results/window_scale_tests-$run.txt,txt" \
      >/dev/null 2>&1) || status=1
  done
  for f in "$results"/*.txt; do
    echo "$(basename "$f" .txt): $(grep '^Totals' "$f")"
    grep -A3 '^FAIL' "$f" || true
  done
  [ "$status" -eq 0 ] || echo "some of the window's tests failed"
fi

# --- 5. the window under Wine ----------------------------------------------------------------------
if step 5; then
  say "picturing tierwise.exe under Wine"
  (cd "$out/app" && wine tierwise.exe "$source_dir/samples/office-block.anl" >"$work/tierwise-run.log" 2>&1) &
  geometry=$(wine_window_geometry)
  import -window root "$work/root-wine.png"
  /usr/bin/convert "$work/root-wine.png" -crop "$geometry" +repage "$work/tierwise-window-wine.png"
  wineserver -k >/dev/null 2>&1 || true
  say "the window: $work/tierwise-window-wine.png ($geometry)"
fi
say "done"
