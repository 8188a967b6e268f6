#!/usr/bin/env bash
# Sets up what is missing, builds Release in build-bench/ and runs every benchmark program.
#   scripts/bench.sh                       all programs, all benchmarks
#   scripts/bench.sh --benchmark_filter=X  passes Google Benchmark options on to every program
# The report program ends with a summary: time per report size, the ratio to SQLite's own compile
# of the statement, and the scaling exponents between sizes. The run_csv program times
# `talvane run --format csv` on a million rows next to the sqlite3 program's -csv output of the same
# statement (it needs sqlite3 in PATH) and ends with both speeds and their ratio.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTALVANE_BUILD_BENCH=ON -DTALVANE_BUILD_TESTS=OFF
cmake --build build-bench
for program in build-bench/bench/talvane_bench_*; do
  [ -x "$program" ] || continue
  echo "== $(basename "$program")"
  "$program" "$@"
  echo
done
