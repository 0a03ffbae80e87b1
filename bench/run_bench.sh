#!/usr/bin/env bash
# The whole program on large generated analysis files, as a user runs it (a fresh process per run),
# against `wc -l` and `cat` on the same files; then the in-process benchmarks.
#
#   bench/run_bench.sh [FILE-KIND...]     default: realistic-500M tower-0M tower-200M tower-500M
#
#   realistic-SIZE   a 12-storey building on a 10 x 10 grid, padded with results text to SIZE MB
#   tower-SIZE       the 60-storey tower on a 40 x 40 grid (96 000 columns); tower-0M is the tower
#                    alone (106 MB, no results text), larger sizes are padded with results text;
#                    below 106 MB the grid is 20 x 20
#
# Builds the release programs (the release preset, build/release), generates the files into $TIERWISE_BENCH_DIR
# (default /tmp/tierwise-bench; never into the source tree), reads each once to warm the page
# cache, then takes the best of $RUNS (default 5) wall times of each command, the commands taking
# turns in every round so that a change in the machine's load meets them all alike:
#   wc -l FILE                              every byte read once, lines counted
#   cat FILE > /dev/null                    every byte copied from the page cache, nothing else
#   tierwise-batch FILE --summary           the reader alone (and a one-screen summary)
#   tierwise-batch FILE -o OUT.xlsx         the whole run: read, buildPlanGrid, schedule, .xlsx
# and, from one more run of each program under /usr/bin/time -v, the peak memory (maximum
# resident set) and the minor page faults (each a fresh page, ~15 µs on a busy VM).
# TIERWISE_BEFORE=/path/to/an/earlier/tierwise-batch times that program in the same rounds, on
# a row of its own, for before/after figures taken side by side.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build/release"
data="${TIERWISE_BENCH_DIR:-/tmp/tierwise-bench}"
runs="${RUNS:-5}"
before="${TIERWISE_BEFORE:-}"
kinds=("$@")
[[ ${#kinds[@]} -eq 0 ]] && kinds=(realistic-500M tower-0M tower-200M tower-500M)

[[ -x /usr/bin/time ]] || { echo "needs /usr/bin/time (apt-get install time)" >&2; exit 2; }
[[ -z "$before" || -x "$before" ]] || { echo "TIERWISE_BEFORE: $before is not a program" >&2; exit 2; }
(cd "$root" && cmake --preset release -DTIERWISE_BUILD_GUI=OFF >/dev/null &&
  cmake --build --preset release -j"${TIERWISE_JOBS:-2}" --target generate_anl reader_bench tierwise-batch >/dev/null)
mkdir -p "$data"

batch="$build/app/tierwise-batch"
out="$data/out.xlsx"

now_ns() { date +%s%N; }
# Wall time in ms of one run of "$@", output discarded.
once_ms() {
  local start end
  start=$(now_ns)
  "$@" >/dev/null 2>&1 || true
  end=$(now_ns)
  echo $(((end - start) / 1000000))
}
# Peak resident set in MB and minor page faults of one run of "$@".
memory() {
  /usr/bin/time -v "$@" 2>&1 >/dev/null | awk -F: '
    /Maximum resident set size/ {rss = $2}
    /Minor \(reclaiming a frame\) page faults/ {faults = $2}
    END {printf "%.1f %d\n", rss / 1024, faults}'
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", (b > 0 ? a / b : 0)}'; }

# Generates the file for a kind ("tower-500M") unless it is there at about the right size.
make_file() {
  local kind="$1" shape="${1%%-*}" size="${1#*-}"
  size="${size%M}"
  local file="$data/$kind.anl" args=()
  case "$shape" in
    realistic) args=(--grid 10 --storeys 12) ;;
    tower) args=(--grid 40 --storeys 60); ((size > 0 && size < 106)) && args=(--grid 20 --storeys 60) ;;
    *) echo "unknown file kind $kind" >&2; exit 2 ;;
  esac
  local want=$((size * 1000 * 1000))
  if [[ ! -f "$file" ]] || { ((size > 0)) && (($(stat -c %s "$file") < want - 10000 || $(stat -c %s "$file") > want + 10000)); }; then
    "$build/bench/generate_anl" "$file" --size "${size}M" "${args[@]}" 2>/dev/null
  fi
  echo "$file"
}

echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(free -g | awk '/Mem:/ {print $2}') GB; load $(cut -d' ' -f1-3 /proc/loadavg)"
echo
echo "Cold process, warm page cache: best of $runs wall times; peak RSS and minor page faults from /usr/bin/time -v."
echo
echo "| file | MB | program | wc -l ms | cat ms | reader ms | whole run ms | whole / wc -l | whole / cat | peak RSS MB | minor faults |"
echo "|---|---|---|---|---|---|---|---|---|---|---|"
files=()
for kind in "${kinds[@]}"; do
  file=$(make_file "$kind")
  files+=("$file")
  cat "$file" >/dev/null  # warm the page cache
  programs=("$batch")
  [[ -n "$before" ]] && programs=("$before" "$batch")
  declare -A best=()
  keep() { [[ -z "${best[$1]:-}" || $2 -lt ${best[$1]} ]] && best[$1]=$2 || true; }
  for ((round = 0; round < runs; round++)); do
    keep wc "$(once_ms wc -l "$file")"
    keep cat "$(once_ms cat "$file")"
    for p in "${!programs[@]}"; do
      keep "read$p" "$(once_ms "${programs[$p]}" "$file" --summary)"
      keep "whole$p" "$(once_ms "${programs[$p]}" "$file" -o "$out")"
    done
  done
  mb=$(awk -v b="$(stat -c %s "$file")" 'BEGIN {printf "%.0f", b / 1e6}')
  for p in "${!programs[@]}"; do
    label="this build"
    [[ "${programs[$p]}" == "$before" ]] && label="before"
    read -r rss faults < <(memory "${programs[$p]}" "$file" -o "$out")
    echo "| $(basename "$file") | $mb | $label | ${best[wc]} | ${best[cat]} | ${best[read$p]} | ${best[whole$p]} |" \
      "$(ratio "${best[whole$p]}" "${best[wc]}") | $(ratio "${best[whole$p]}" "${best[cat]}") | $rss | $faults |"
  done
  unset best
done
rm -f "$out"
echo

list=$(IFS=:; echo "${files[*]}")
echo "In-process (Google Benchmark, bench/reader_bench.cpp; warm: the same process reads the file again and again):"
TIERWISE_BENCH_FILES="$list" "$build/bench/reader_bench" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
  --benchmark_filter='CountLines|ReadAnl' 2>/dev/null | grep -E '_median'
TIERWISE_BENCH_FILES="" TIERWISE_BENCH_DIR=/nonexistent "$build/bench/reader_bench" \
  --benchmark_filter='MakeCube|WriteReport|WriteXlsx' 2>/dev/null | grep -E '^BM_'
