#!/usr/bin/env bash
# The whole program on large generated analysis files, against `wc -l` on the same files.
#
#   bench/run_bench.sh [SIZE...]        sizes in MB, default: 50 200 500
#
# Builds the release programs in build-bench, generates the files into $TIERWISE_BENCH_DIR
# (default /tmp/tierwise-bench; never into the source tree), reads each once to warm the cache,
# then takes the best of $RUNS (default 5) wall times of
#   wc -l FILE                                  the floor: every byte read once
#   tierwise-batch FILE --summary               the reader alone (and a one-screen summary)
#   tierwise-batch FILE -o OUT.xlsx             the whole run: read, makeCube, writeReport, .xlsx
# with the peak memory of the whole run from /usr/bin/time -v. Then the in-process benchmarks:
# the reader's MB/s (bench/reader_bench.cpp), and makeCube, writeReport and the .xlsx writer on
# the largest model. The 50 MB file is a 20 x 20 grid (a 40 x 40 tower alone takes 106 MB);
# the others are 40 x 40 grids, 60 storeys.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-bench"
data="${TIERWISE_BENCH_DIR:-/tmp/tierwise-bench}"
runs="${RUNS:-5}"
sizes=("$@")
[[ ${#sizes[@]} -eq 0 ]] && sizes=(50 200 500)

[[ -x /usr/bin/time ]] || { echo "needs /usr/bin/time (apt-get install time)" >&2; exit 2; }
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTIERWISE_BUILD_GUI=OFF -DTIERWISE_BUILD_TESTS=OFF >/dev/null
ninja -C "$build" generate_anl reader_bench tierwise-batch >/dev/null
mkdir -p "$data"

batch="$build/app/tierwise-batch"
out="$data/out.xlsx"

# Best wall time in ms of running "$@" $runs times, output discarded.
best_ms() {
  local best=""
  for ((i = 0; i < runs; i++)); do
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1 || true
    end=$(date +%s%N)
    local ms=$(((end - start) / 1000000))
    [[ -z "$best" || $ms -lt $best ]] && best=$ms
  done
  echo "$best"
}

echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(free -g | awk '/Mem:/ {print $2}') GB"
echo
echo "| file | MB | wc -l ms | reader ms | reader / wc -l | whole run ms | whole / wc -l | peak RSS MB |"
echo "|---|---|---|---|---|---|---|---|"
files=()
for size in "${sizes[@]}"; do
  grid=40
  ((size < 106)) && grid=20
  file="$data/tower-${size}M.anl"
  want=$((size * 1000 * 1000))
  if [[ ! -f "$file" ]] || (( $(stat -c %s "$file") < want - 10000 || $(stat -c %s "$file") > want + 10000 )); then
    "$build/bench/generate_anl" "$file" --size "${size}M" --grid "$grid" 2>/dev/null
  fi
  files+=("$file")
  cat "$file" >/dev/null  # warm cache
  wc_ms=$(best_ms wc -l "$file")
  read_ms=$(best_ms "$batch" "$file" --summary)
  whole_ms=$(best_ms "$batch" "$file" -o "$out")
  rss_kb=$(/usr/bin/time -v "$batch" "$file" -o "$out" 2>&1 >/dev/null | awk -F: '/Maximum resident set size/ {print $2}')
  mb=$(awk -v b="$(stat -c %s "$file")" 'BEGIN {printf "%.0f", b / 1e6}')
  ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.1f", (b > 0 ? a / b : 0)}'; }
  echo "| $(basename "$file") ($grid x $grid x 60) | $mb | $wc_ms | $read_ms | $(ratio "$read_ms" "$wc_ms") | $whole_ms | $(ratio "$whole_ms" "$wc_ms") | $((rss_kb / 1024)) |"
done
rm -f "$out"
echo

list=$(IFS=:; echo "${files[*]}")
echo "In-process (Google Benchmark, bench/reader_bench.cpp):"
TIERWISE_BENCH_FILES="$list" "$build/bench/reader_bench" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
  --benchmark_filter='CountLines|ReadAnl' 2>/dev/null | grep -E '_median'
TIERWISE_BENCH_FILES="" TIERWISE_BENCH_DIR=/nonexistent "$build/bench/reader_bench" \
  --benchmark_filter='MakeCube|WriteReport|WriteXlsx' 2>/dev/null | grep -E '^BM_'
