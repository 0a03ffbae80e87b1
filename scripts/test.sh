#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the normal build, then the sanitizer build.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset dev -DTIERWISE_WERROR=ON >/dev/null
cmake --build --preset dev
ctest --preset dev
if [ -x scripts/test-asan.sh ]; then
  scripts/test-asan.sh
fi
