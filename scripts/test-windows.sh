#!/usr/bin/env bash
# The Windows build of the core, tierwise-batch.exe and the core's tests: cross-built with
# MinGW-w64 (cmake/mingw-w64-x86_64.cmake), linked statically, run under Wine.
#
#   1. installs the Debian packages it needs, only those missing;
#   2. builds the target's libraries into build/windows/prefix: libxlsxwriter from third_party/,
#      GoogleTest from Debian's source (/usr/src/googletest), CLI11's headers; kept between runs;
#   3. cross-builds Tierwise into build/windows/tierwise (no window, no benchmarks);
#   4. checks that every .exe imports Windows' own DLLs only;
#   5. runs ctest under Wine;
#   6. compares tierwise-batch.exe's workbooks with the Linux build's, cell by cell: the sample,
#      the sample under a non-ASCII path, and a model path beginning with "/".
#
# TIERWISE_JOBS sets the build's parallel jobs (default: the number of cores).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
started=$(date +%s)
jobs="${TIERWISE_JOBS:-$(nproc)}"
say() { echo "== test-windows: $* ($(($(date +%s) - started)) s)"; }

# --- 1. packages -------------------------------------------------------------------------------
packages=(
  cmake ninja-build g++ pkg-config
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 libz-mingw-w64-dev wine wine64
  libgtest-dev libcli11-dev libxlsxwriter-dev python3 python3-openpyxl
)
"$root/scripts/install-deps.sh" "${packages[@]}"

toolchain="$root/cmake/mingw-w64-x86_64.cmake"
build="$root/build/windows"
prefix="$build/prefix"
mkdir -p "$build"

# Wine keeps its own Windows installation under build/windows; without a display, and without
# offering to install Mono or Gecko.
export WINEPREFIX="$build/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  say "setting up Wine in $WINEPREFIX"
  wineboot --init >/dev/null 2>&1 || true
fi

# --- 2. the target's libraries -------------------------------------------------------------------
gtest_version=$(dpkg-query -W -f='${Version}' libgtest-dev)
stamp="$(cat "$toolchain" | sha1sum | cut -c1-12) $(find third_party/libxlsxwriter -type f -print0 | sort -z |
  xargs -0 cat | sha1sum | cut -c1-12) gtest $gtest_version"
if [ "$(cat "$prefix/.stamp" 2>/dev/null)" != "$stamp" ]; then
  say "building libxlsxwriter and GoogleTest for Windows"
  rm -rf "$prefix" "$build/xlsxwriter" "$build/googletest"
  cmake -S third_party/libxlsxwriter -B "$build/xlsxwriter" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" >/dev/null
  cmake --build "$build/xlsxwriter" -j "$jobs" >/dev/null
  cmake --install "$build/xlsxwriter" >/dev/null
  cmake -S /usr/src/googletest -B "$build/googletest" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON >/dev/null
  cmake --build "$build/googletest" -j "$jobs" >/dev/null
  cmake --install "$build/googletest" >/dev/null
  mkdir -p "$prefix/include"
  cp -r /usr/include/CLI "$prefix/include/"
  echo "$stamp" >"$prefix/.stamp"
fi

# --- 3. Tierwise for Windows ---------------------------------------------------------------------
say "cross-building Tierwise"
out="$build/tierwise"
# Optimised as the Linux build is (-O2), without its debug information, which only slows the link.
cmake -S . -B "$out" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
  -DTIERWISE_BUILD_GUI=OFF -DTIERWISE_BUILD_BENCH=OFF -DTIERWISE_WITH_CAIRO=OFF -DTIERWISE_WERROR=ON >/dev/null
cmake --build "$out" -j "$jobs"

# --- 4. nothing but Windows' own DLLs ------------------------------------------------------------
say "checking the DLLs the programs import"
system_dlls='^(kernel32|user32|advapi32|shell32|ole32|oleaut32|ws2_32|bcrypt|msvcrt|ucrtbase|api-ms-win-.*)\.dll$'
bad=0
while IFS= read -r -d '' exe; do
  while read -r dll; do
    if ! echo "$dll" | tr 'A-Z' 'a-z' | grep -Eq "$system_dlls"; then
      echo "${exe#"$out"/} imports $dll, which Windows does not have"
      bad=1
    fi
  done < <(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
done < <(find "$out" -name '*.exe' -print0)
[ "$bad" -eq 0 ] || exit 1

# --- 5. the tests under Wine ---------------------------------------------------------------------
say "running the tests under Wine"
# A server left from an earlier run on this prefix is ended first; a fresh one, kept running,
# serves this run. Wine's background services are started here, with their output to /dev/null:
# started by the first test instead, they would hold ctest's output pipe open while they live.
wineserver -k >/dev/null 2>&1 || true
wineserver -p 300 </dev/null >/dev/null 2>&1 || true
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT  # and ended with the run, its services with it
wine wineboot </dev/null >/dev/null 2>&1 || true
# A test that fails is run once more: Wine's own client and server now and then lose their
# connection ("wine client error: recvmsg"), which says nothing about Tierwise. A test that fails
# twice fails the run.
ctest --test-dir "$out" --output-on-failure -j "$jobs" --timeout 600 --repeat until-pass:2

# --- 6. the same workbooks as on Linux ------------------------------------------------------------
say "comparing workbooks with the Linux build"
linux="$root/build/dev"
if [ ! -x "$linux/app/tierwise-batch" ]; then
  cmake --preset dev >/dev/null
  cmake --build --preset dev --target tierwise-batch
fi
work="$build/compare"
rm -rf "$work"
folder="$work/Jürgen Ωμέγα/Projekte"
mkdir -p "$folder"
cp samples/office-block.anl "$work/office-block.anl"
cp samples/office-block.anl "$folder/Bürohaus.anl"
"$linux/app/tierwise-batch" samples/office-block.anl -o "$work/linux.xlsx" >/dev/null
"$linux/app/tierwise-batch" samples/office-block.anl -o "$work/linux-split.xlsx" --split 7.2 >/dev/null
batch="$out/app/tierwise-batch.exe"
# Debian's python3-openpyxl is in the system Python, which need not be the first python3 on PATH.
python=""
for candidate in /usr/bin/python3 python3; do
  if "$candidate" -c "import openpyxl" 2>/dev/null; then python="$candidate"; break; fi
done
[ -n "$python" ] || { echo "python3-openpyxl is missing"; exit 1; }
compare=("$python" scripts/compare_workbooks.py)
# A relative Windows path, run from the model's folder.
(cd "$work" && wine "$batch" office-block.anl -o windows.xlsx >/dev/null)
"${compare[@]}" "$work/linux.xlsx" "$work/windows.xlsx"
# Names outside the ANSI code page, with Windows' separators.
(cd "$work" && wine "$batch" 'Jürgen Ωμέγα\Projekte\Bürohaus.anl' -o 'Jürgen Ωμέγα\Projekte\Bürohaus.xlsx' >/dev/null)
"${compare[@]}" "$work/linux.xlsx" "$folder/Bürohaus.xlsx"
# A model path beginning with "/" (a Unix path under Wine), not taken for an option.
wine "$batch" "$folder/Bürohaus.anl" -o "$folder/Bürohaus-split.xlsx" --split 7.2 >/dev/null
"${compare[@]}" "$work/linux-split.xlsx" "$folder/Bürohaus-split.xlsx"
left=$(find "$work" -name '.*.tmp' -o -name 'tmp.*' | wc -l)
[ "$left" -eq 0 ] || { echo "temporary files were left in $work"; exit 1; }

say "passed"
