#!/usr/bin/env bash
# Installs the Debian packages that building and testing Tierwise need, only those missing.
#
#   scripts/install-deps.sh [PACKAGE...]    the packages named instead (the Windows scripts' own)
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libxlsxwriter-dev libcli11-dev
  libgtest-dev libbenchmark-dev
  python3 python3-openpyxl fonts-dejavu-core
  libcairo2-dev poppler-utils python3-ezdxf
  desktop-file-utils shared-mime-info
)
[ $# -gt 0 ] && packages=("$@")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
