#!/usr/bin/env bash
# Builds the benchmarks in release mode, runs them side by side and prints
# the comparisons as a table of ratios (reference time / our time) and peak
# memory ratios, each beside its target. Exits non-zero when a target is
# missed or a benchmark fails.
#
#   scripts/bench.sh                 export sets of 40 MB and 400 MB (about two minutes)
#   scripts/bench.sh --quick         the 40 MB set only (under a minute)
#   scripts/bench.sh --repetitions N runs of each benchmark; medians are compared (default 3)
#
# The timings interleave our code and the reference in random order, so
# that a busy machine slows both alike; the JSON of every run is kept in
# build/release/bench-results/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=$(nproc 2>/dev/null || echo 2)

sizes=(40 400)
repetitions=3
while [ $# -gt 0 ]; do
  case "$1" in
    --quick) sizes=(40) ;;
    --repetitions) repetitions=$2; shift ;;
    -h|--help) sed -n '2,13p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "bench.sh: unknown option $1 (see --help)" >&2; exit 2 ;;
  esac
  shift
done

programs=(bench_write bench_read bench_tokeniser bench_export bench_memory)

echo "building the benchmarks (release)..." >&2
cmake --preset release >/dev/null
cmake --build --preset release -j "$jobs" --target "${programs[@]}" >/dev/null

results="$root/build/release/bench-results"
rm -rf "$results"
mkdir -p "$results"

for mb in "${sizes[@]}"; do
  for program in "${programs[@]}"; do
    # The export benchmark always converts one million triangles: once is enough.
    if [ "$program" = bench_export ] && [ "$mb" != "${sizes[0]}" ]; then continue; fi
    echo "running $program on the $mb MB set..." >&2
    extra=(--benchmark_repetitions="$repetitions" --benchmark_enable_random_interleaving=true)
    [ "$program" = bench_memory ] && extra=()
    GANTLINE_BENCH_MB=$mb "$root/build/release/bin/$program" "${extra[@]}" \
      --benchmark_out="$results/$program-$mb.json" --benchmark_out_format=json \
      >"$results/$program-$mb.log" 2>&1 || { echo "$program failed; see $results/$program-$mb.log" >&2; exit 1; }
  done
done

python3 "$root/scripts/bench_table.py" "$results" "${sizes[@]}"
