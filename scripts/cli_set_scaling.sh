#!/usr/bin/env bash
# `talvane sql` on reports of many sets (a set for every 25 formulas), counted in instructions (callgrind):
# its growth from 2,000 to 16,000 formulas, and its cost at 1,000 formulas against the library's own build
# and render.
# Usage: scripts/cli_set_scaling.sh [BUILD_DIR]
set -euo pipefail
build=${1:-build}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$build/bench/talvane_bench_cli_set_scaling" write "$dir" 1000 2000 16000

instructions() {
  valgrind --tool=callgrind --callgrind-out-file="$dir/callgrind.out" "$@" >/dev/null 2>"$dir/valgrind.log"
  sed -n 's/.*Collected : \([0-9]*\).*/\1/p' "$dir/valgrind.log"
}
sql() { instructions "$build/bin/talvane" sql "$dir/report$1.json" --connection "Data Source=$dir/report.db"; }

small=$(sql 2000)
large=$(sql 16000)
program=$(sql 1000)
library=$(instructions "$build/bench/talvane_bench_cli_set_scaling" library "$dir" 1000)
awk -v s="$small" -v l="$large" -v p="$program" -v b="$library" 'BEGIN {
  printf "talvane sql, 2,000 formulas:  %d instructions\n", s
  printf "talvane sql, 16,000 formulas: %d instructions (n^%.2f)\n", l, log(l / s) / log(8)
  printf "1,000 formulas: talvane sql %d, library build and render %d, ratio %.2f\n", p, b, p / b
}'
