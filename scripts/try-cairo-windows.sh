#!/usr/bin/env bash
# cairo for Windows, so that the Windows programs draw PDF and SVG too: Debian's sources of libpng,
# pixman and cairo cross-built with MinGW-w64 as static libraries into $QTWIN/cairo-prefix, beside
# the cross-built Qt of scripts/try-qt-windows.sh. Not for CI.
#
#   scripts/try-cairo-windows.sh      (QTWIN: the cache folder, default ~/.cache/tierwise-windows)
#
# zlib is MinGW-w64's own static one (Debian's libz-mingw-w64-dev). cairo is built with its PDF, SVG
# and PNG surfaces and the Win32 font backend alone: no FreeType, no fontconfig, no X11. Text set
# with cairo's toy font API is then looked up by name through Windows' GDI (its font mapper takes
# the nearest face when the one named is not installed). Debian's cairo patches that change only
# the build system (they would need autoreconf) are left out; its source fixes are applied. Done
# once: a second run finds $QTWIN/cairo-prefix/lib/libcairo.a and stops.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/windows-runtime.sh"
work="$(windows_cache)"
prefix="$work/cairo-prefix"
src="$work/cairo-src"
host=x86_64-w64-mingw32
jobs="${TIERWISE_JOBS:-2}"
started=$(date +%s)
say() { echo "== try-cairo-windows: $* ($(($(date +%s) - started)) s, $(date -u +%T) UTC)"; }
if [ -f "$prefix/lib/libcairo.a" ]; then
  say "cairo for Windows is built: $prefix"
  exit 0
fi
"$here/install-deps.sh" curl xz-utils make patch pkg-config g++-mingw-w64-x86-64-posix libz-mingw-w64-dev

# fetch POOL_URL DSC_NAME: the .dsc and the tarballs it lists, checked against its SHA-256 sums.
fetch() {
  local pool=$1 dsc=$2 f
  [ -f "$dsc" ] || curl -sSfO "$pool/$dsc"
  for f in $(sed -n '/^Checksums-Sha256:/,/^[A-Z]/s/^ [0-9a-f]\{64\} [0-9]* \(.*\)$/\1/p' "$dsc"); do
    [ -f "$f" ] || curl -sSfO "$pool/$f"
  done
  sed -n '/^Checksums-Sha256:/,/^[A-Z]/s/^ \([0-9a-f]\{64\}\) [0-9]* \(.*\)$/\1  \2/p' "$dsc" | sha256sum -c --quiet -
}
# unpack ORIG DEBIAN_TAR DIR [PATCH TO LEAVE OUT...]: the source with Debian's patches from its series.
unpack() {
  local orig=$1 debian=$2 dir=$3 p
  shift 3
  rm -rf "$dir" debian
  tar xf "$orig"
  [ -n "$debian" ] || return 0
  tar xf "$debian"
  grep -v -e '^#' -e '^$' debian/patches/series | while read -r p; do
    printf '%s\n' "$@" | grep -qx "$p" || patch -d "$dir" -p1 -s <"debian/patches/$p"
  done
  rm -rf debian
}

mkdir -p "$src"
cd "$src"
say "downloading Debian's libpng1.6, pixman and cairo"
fetch http://deb.debian.org/debian-security/pool/updates/main/libp/libpng1.6 libpng1.6_1.6.39-2+deb12u3.dsc
fetch http://deb.debian.org/debian/pool/main/c/cairo cairo_1.16.0-7.dsc
# pixman's Debian diff (packaging only) is not on the mirror: its upstream tarball alone, checked.
pool=http://deb.debian.org/debian/pool/main/p/pixman
[ -f pixman_0.42.2-1.dsc ] || curl -sSfO "$pool/pixman_0.42.2-1.dsc"
[ -f pixman_0.42.2.orig.tar.gz ] || curl -sSfO "$pool/pixman_0.42.2.orig.tar.gz"
grep -q "^ $(sha256sum pixman_0.42.2.orig.tar.gz | cut -d' ' -f1) [0-9]* pixman_0.42.2.orig.tar.gz$" pixman_0.42.2-1.dsc

unpack libpng1.6_1.6.39.orig.tar.gz libpng1.6_1.6.39-2+deb12u3.debian.tar.xz libpng-1.6.39
unpack pixman_0.42.2.orig.tar.gz "" pixman-0.42.2
unpack cairo_1.16.0.orig.tar.xz cairo_1.16.0-7.debian.tar.xz cairo-1.16.0 \
  01_build_perf_utils.patch 02_am-maintainer-mode.patch 03_export-symbols.patch

rm -rf "$prefix"
export CC="$host-gcc-posix" CFLAGS="-O2" PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig:/usr/$host/lib/pkgconfig"
common=(--host="$host" --prefix="$prefix" --enable-static --disable-shared)
build() { # build DIR MAKE_SUBDIR CONFIGURE_ARGS...
  local dir=$1 sub=$2
  shift 2
  say "building $dir"
  (cd "$dir" && nice -n 10 ./configure "${common[@]}" "$@" >configure.log &&
    nice -n 10 make -C "$sub" -j "$jobs" >make.log 2>&1 && make -C "$sub" install >install.log 2>&1)
}
build libpng-1.6.39 . CPPFLAGS="-I/usr/$host/include" LDFLAGS="-L/usr/$host/lib"
build pixman-0.42.2 pixman --disable-gtk --disable-libpng --disable-openmp
cp pixman-0.42.2/pixman-1.pc "$prefix/lib/pkgconfig/"
build cairo-1.16.0 src --enable-win32 --enable-win32-font --enable-png --enable-pdf --enable-svg \
  --disable-ps --disable-script --disable-interpreter --disable-trace --disable-symbol-lookup \
  --disable-xlib --disable-xlib-xrender --disable-xcb --disable-xlib-xcb --disable-xcb-shm \
  --disable-ft --disable-fc --disable-quartz --disable-gl --disable-glesv2 --disable-egl --disable-glx \
  --disable-wgl --disable-gobject --disable-valgrind --disable-gtk-doc --disable-full-testing
cp cairo-1.16.0/src/cairo.pc cairo-1.16.0/src/cairo-pdf.pc cairo-1.16.0/src/cairo-svg.pc "$prefix/lib/pkgconfig/" 2>/dev/null || true
# The static zlib beside them, so that a link through pkg-config takes it and not zlib1.dll.
cp "/usr/$host/lib/libz.a" "$prefix/lib/"
# A static cairo: what it links (pixman, libpng, zlib, GDI, and GCC's libssp: cairo's configure
# compiles with _FORTIFY_SOURCE) goes into Libs, so that a plain `pkg-config --libs cairo` (CMake's
# pkg_check_modules) links it all.
sed -i -e "s|^Libs: .*|Libs: -L\${libdir} -lcairo -lpixman-1 -lpng16 -lz -lgdi32 -lmsimg32 -lssp|" \
  -e "s|^Cflags: .*|Cflags: -I\${includedir}/cairo -I\${includedir}/pixman-1 -DCAIRO_WIN32_STATIC_BUILD|" \
  "$prefix/lib/pkgconfig/cairo.pc"
grep -q '^#define CAIRO_HAS_PDF_SURFACE 1' "$prefix/include/cairo/cairo-features.h"
grep -q '^#define CAIRO_HAS_SVG_SURFACE 1' "$prefix/include/cairo/cairo-features.h"
grep -q '^#define CAIRO_HAS_WIN32_FONT 1' "$prefix/include/cairo/cairo-features.h"
say "cairo for Windows in $prefix: $(du -sh "$prefix/lib" | cut -f1) of static libraries"
