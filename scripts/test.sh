#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the normal build, the sanitizer build,
# then the Windows build under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset dev -DTIERWISE_WERROR=ON >/dev/null
cmake --build --preset dev
ctest --preset dev
if [ -x scripts/test-asan.sh ]; then
  scripts/test-asan.sh
fi
if [ -x scripts/test-windows.sh ]; then
  scripts/test-windows.sh
fi
