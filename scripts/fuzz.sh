#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer and UBSan) in build-fuzz and runs them.
#
#   scripts/fuzz.sh [reader|schedule|all] [SECONDS]      default: all, 600 seconds each
#
# Each target starts from the checked-in seeds and findings (tests/fuzz/corpus) and keeps its
# growing corpus in build-fuzz/corpus/TARGET. A crash, leak, hang (> 5 s) or memory blow-up
# (> 2 GB) stops it with a crash-*/timeout-*/oom-* file in build-fuzz/findings: fix the cause, then
# add the file to tests/fuzz/corpus/found so that ctest replays it in every build.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-fuzz"
which="${1:-all}"
seconds="${2:-600}"

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTIERWISE_BUILD_FUZZ=ON -DTIERWISE_BUILD_GUI=OFF -DTIERWISE_BUILD_BENCH=OFF -DTIERWISE_BUILD_TESTS=ON >/dev/null
targets=(reader schedule)
[[ "$which" != all ]] && targets=("$which")
ninja -C "$build" "${targets[@]/%/_fuzz}"

mkdir -p "$build/findings"
for target in "${targets[@]}"; do
  mkdir -p "$build/corpus/$target"
  # What the other targets found is a good start too.
  others=()
  for dir in "$build"/corpus/*; do [[ "$dir" != "$build/corpus/$target" ]] && others+=("$dir"); done
  echo "== $target: $seconds s"
  (cd "$build/findings" &&
    nice "$build/tests/fuzz/${target}_fuzz" -dict="$root/tests/fuzz/anl.dict" -max_len=16384 -timeout=5 \
      -rss_limit_mb=2048 -max_total_time="$seconds" -print_final_stats=1 \
      "$build/corpus/$target" "$root/tests/fuzz/corpus/seed" "$root/tests/fuzz/corpus/found" "${others[@]}")
done
