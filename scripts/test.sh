#!/usr/bin/env bash
# Sets up what is missing, builds and runs every test.
#   scripts/test.sh             g++ build in build/
#   scripts/test.sh --sanitize  clang build with AddressSanitizer and UndefinedBehaviorSanitizer in build-asan/
#   scripts/test.sh --thread    clang build with ThreadSanitizer in build-tsan/: only what runs threads: the rule
#                               editor's server, its tests and a short load run (the tests labelled `server`),
#                               and the scans with several jobs (labelled `scan`); any report fails
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
targets=()
selection=()
# Everything is built, whatever a build directory was configured with before (scripts/run-example.sh leaves
# the test-only parts out of a new one).
everything=(-DTALVANE_BUILD_TESTS=ON -DTALVANE_WITH_ODBC=ON -DTALVANE_BUILD_SERVE=ON)
if [ "${1:-}" = "--sanitize" ]; then
  dir=build-asan
  args=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug
        -DTALVANE_SANITIZE=address,undefined -DTALVANE_BUILD_BENCH=OFF)
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
elif [ "${1:-}" = "--thread" ]; then
  dir=build-tsan
  args=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo
        -DTALVANE_SANITIZE=thread -DTALVANE_BUILD_BENCH=ON)
  targets=(--target talvane_serve_tests talvane_bench_serve_load talvane_scan_tests)
  selection=(-L '^(server|scan)$')
  # The suppressions cover the HTTP library, which is not built with the sanitizer (see the file).
  export TSAN_OPTIONS="suppressions=$PWD/tests/serve/tsan.supp halt_on_error=1 second_deadlock_stack=1"
else
  dir=build
  args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALVANE_BUILD_BENCH=ON)
fi
# In CI a warning fails the build, and so does a part left out for want of a tool or library.
[ "${CI:-}" = "true" ] && args+=(-DTALVANE_WERROR=ON -DTALVANE_REQUIRE_ALL=ON)
cmake -S . -B "$dir" -G Ninja "${everything[@]}" "${args[@]}"
cmake --build "$dir" "${targets[@]}"
# The API reference: a public member without its comment fails the build.
if [ "$dir" = build ]; then cmake --build "$dir" --target docs; fi
ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" "${selection[@]}"
