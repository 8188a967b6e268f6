#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ (or $TALVANE_FUZZ_BUILD_DIR) and runs each one for
# the given number of seconds, starting from its committed corpus. The corpus is copied to a scratch
# directory first, so a run never writes into fuzz/corpus/. Exits non-zero on any crash, leak, timeout or
# sanitizer report; the reproducer and the log stay in the scratch directory, whose path is printed.
#   scripts/fuzz.sh SECONDS [TARGET...]      targets: splitter formula report (default: all three)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:?usage: scripts/fuzz.sh SECONDS [TARGET...]}
shift
targets=("$@")
((${#targets[@]})) || targets=(splitter formula report)

bash scripts/setup.sh
dir=${TALVANE_FUZZ_BUILD_DIR:-build-fuzz}
cmake -S . -B "$dir" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTALVANE_BUILD_FUZZ=ON -DTALVANE_BUILD_TESTS=OFF -DTALVANE_BUILD_BENCH=OFF \
  -DTALVANE_SANITIZE=address,undefined,fuzzer-no-link >/dev/null
cmake --build "$dir" --target "${targets[@]/%/_fuzz}"

scratch=$(mktemp -d "${TMPDIR:-/tmp}/talvane-fuzz-XXXXXX")
echo "fuzz scratch directory: $scratch"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:allocator_may_return_null=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=()
for t in "${targets[@]}"; do
  corpus=$scratch/$t/corpus
  mkdir -p "$corpus" "$scratch/$t/artifacts"
  cp -r "fuzz/corpus/$t/." "$corpus/"
  echo "== $t: ${seconds}s"
  set +e
  "$dir/fuzz/${t}_fuzz" "$corpus" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
    -print_final_stats=1 -artifact_prefix="$scratch/$t/artifacts/" >"$scratch/$t/log" 2>&1
  status=$?
  set -e
  grep -E '^(#[0-9]+.*DONE|stat::number_of_executed_units|stat::peak_rss_mb|stat::new_units_added)' "$scratch/$t/log" || true
  if [ "$status" -ne 0 ]; then
    echo "!! $t failed (exit $status); last lines of $scratch/$t/log:"
    tail -n 40 "$scratch/$t/log"
    failed+=("$t")
  fi
done
if ((${#failed[@]})); then
  echo "fuzzing found problems in: ${failed[*]} (reproducers in $scratch/*/artifacts)"
  exit 1
fi
rm -rf "$scratch"
echo "fuzzing: no findings in ${targets[*]}"
