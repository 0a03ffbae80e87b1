#!/usr/bin/env bash
# The whole test suite under AddressSanitizer and UBSan: the asan preset (Debug, build/asan).
# Any sanitizer report fails the test that triggered it.
#
#   scripts/test-asan.sh            configure, build, run ctest
#   TIERWISE_ASAN_GUI=OFF scripts/test-asan.sh    leave out the window program and its tests
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

gui="${TIERWISE_ASAN_GUI:-ON}"
cmake --preset asan -DTIERWISE_BUILD_GUI="$gui" >/dev/null
cmake --build --preset asan

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1}"
# Caches that cairo and fontconfig keep until the process ends are not leaks of ours.
# print_suppressions=0: a run that ends on a message keeps stderr to that message.
export LSAN_OPTIONS="suppressions=$root/scripts/lsan-suppressions.txt:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
# The window tests draw off screen.
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
ctest --preset asan -j "$(nproc)"
