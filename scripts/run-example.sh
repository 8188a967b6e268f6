#!/usr/bin/env bash
# Sets up what the main job needs, builds the program and the sample database in build/ (or
# $TALVANE_BUILD_DIR), and runs the main job: the `talvane` program prints the exceptions of an example report
# and its SQL Server statement, then checks a report with mistakes, then scans every example report.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh --main
dir=${TALVANE_BUILD_DIR:-build}
args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
# A new build directory is configured with only what the main job uses: no tests, benchmarks, ODBC backend
# or rule editor's server, so none of their packages is needed. One scripts/test.sh configured keeps its
# configuration (the test run turns them all on).
[ -f "$dir/CMakeCache.txt" ] || args+=(-DTALVANE_BUILD_TESTS=OFF -DTALVANE_BUILD_BENCH=OFF -DTALVANE_WITH_ODBC=OFF
                                       -DTALVANE_BUILD_SERVE=OFF)
[ "${CI:-}" = "true" ] && args+=(-DTALVANE_WERROR=ON)
# The build speaks only when it fails, so that what follows is the main job's own output.
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! { cmake -S . -B "$dir" -G Ninja "${args[@]}" && cmake --build "$dir" --target talvane_cli talvane_sample_db; } >"$log" 2>&1; then
  cat "$log" >&2
  exit 1
fi
talvane=$dir/bin/talvane
connection="Data Source=$dir/examples/sample.db"

# Shows a command as a user types it, then runs it.
show() {
  local command=$1 definition=$2
  shift 2
  echo "\$ talvane $command $definition --connection \"$connection\"${*:+ $*}"
  "$talvane" "$command" "$definition" --connection "$connection" "$@" 2>&1
}

# The exceptions of an example report, run on the sample database; then the statement a SQL Server host
# would read for the same report.
show run examples/reports/busy_regions.json --format table
echo
show sql examples/reports/busy_regions.json
echo

# This report has mistakes on purpose: the check must fail, with exit code 1, and show each of them.
set +e
output=$(show check examples/reports/mistakes.json)
status=$?
set -e
echo "$output"
echo "(exit code $status, as intended)"
if [ "$status" -ne 1 ] || ! grep -q "table \[Orders\] has no column \[Amout\]" <<<"$output"; then
  echo "the report with mistakes did not fail as intended" >&2
  exit 1
fi

# A scan of every example report: mistakes.json is an error there too, so the exit code is 2.
echo
set +e
output=$(show scan examples/reports)
status=$?
set -e
echo "$output"
echo "(exit code $status, as intended)"
if [ "$status" -ne 2 ] || ! grep -q "^examples/reports/mistakes.json  *error" <<<"$output"; then
  echo "the scan did not show the report with mistakes as an error" >&2
  exit 1
fi
