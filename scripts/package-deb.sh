#!/usr/bin/env bash
# Builds the Debian package tierwise_<version>_<architecture>.deb (CPack, preset `package`, in
# build/package) and checks it as a user gets it: installs it with apt-get, runs the installed
# programs and the installed sample, checks the menu entry, icons and MIME type
# (tests/e2e/check_install.py, which desktop-file-validate is part of), and removes it again.
set -euo pipefail
cd "$(dirname "$0")/.."
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if dpkg-query -W -f='${Status}' tierwise 2>/dev/null | grep -q "install ok installed"; then
  echo "package-deb.sh: tierwise is installed already; remove it first (apt-get remove tierwise)" >&2
  exit 1
fi

scripts/install-deps.sh
scripts/install-deps.sh dpkg-dev  # dpkg-shlibdeps, which finds the package's dependencies
cmake --preset package >/dev/null
cmake --build --preset package
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/package/CMakeCache.txt)
deb="$PWD/build/package/tierwise_${version}_$(dpkg --print-architecture).deb"
rm -f "$deb"
(cd build/package && cpack -G DEB >/dev/null)
[ -f "$deb" ] || { echo "package-deb.sh: CPack made no $deb" >&2; exit 1; }

echo "== $(basename "$deb")"
dpkg-deb --info "$deb" | sed -n 's/^ \(Package\|Version\|Architecture\|Depends\|Recommends\|Installed-Size\):/  \1:/p'
depends=$(dpkg-deb --field "$deb" Depends)
for library in libqt6widgets6 libxlsxwriter libcairo2; do
  grep -q "$library" <<<"$depends" || { echo "package-deb.sh: Depends lacks $library: $depends" >&2; exit 1; }
done

echo "== apt-get install ./$(basename "$deb")"
export DEBIAN_FRONTEND=noninteractive
trap '$sudo apt-get remove -y -qq tierwise >/dev/null 2>&1 || true' EXIT
$sudo apt-get install -y -qq --no-install-recommends "$deb" >/dev/null
[ "$(command -v tierwise-batch)" = /usr/bin/tierwise-batch ] || { echo "package-deb.sh: tierwise-batch is not /usr/bin's" >&2; exit 1; }
tierwise-batch --version
tierwise-batch /usr/share/tierwise/samples/office-block.anl --summary
desktop-file-validate /usr/share/applications/tierwise.desktop && echo "desktop-file-validate: no findings"
/usr/bin/python3 tests/e2e/check_install.py /usr "$version"
# What the triggers of desktop-file-utils and shared-mime-info made of it: a double click on a model
# opens Tierwise.
mime_type=$(sed -n 's/^MimeType=\([^;]*\);.*/\1/p' /usr/share/applications/tierwise.desktop)
grep -q "^$mime_type=.*tierwise.desktop" /usr/share/applications/mimeinfo.cache &&
  grep -q ":$mime_type:\*\.anl$" /usr/share/mime/globs2 ||
  { echo "package-deb.sh: the desktop's databases do not open $mime_type (*.anl) with tierwise.desktop" >&2; exit 1; }
echo "desktop databases: *.anl is $mime_type, opened by tierwise.desktop"

echo "== apt-get remove tierwise"
$sudo apt-get remove -y -qq tierwise >/dev/null
trap - EXIT
for file in /usr/bin/tierwise /usr/bin/tierwise-batch /usr/share/applications/tierwise.desktop; do
  [ ! -e "$file" ] || { echo "package-deb.sh: $file is left after removing the package" >&2; exit 1; }
done
echo "$(basename "$deb"): $(stat -c %s "$deb") bytes; installed, checked and removed"
