#!/usr/bin/env bash
# Sets up what is missing, builds build/ (or $TALVANE_BUILD_DIR) with the sample database, and runs the main
# job: the `talvane` program prints the statement of an example report, then checks a report with mistakes.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
dir=${TALVANE_BUILD_DIR:-build}
args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
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
  echo "\$ talvane $1 $2 --connection \"$connection\""
  "$talvane" "$1" "$2" --connection "$connection"
}

show sql examples/reports/customers_to_call.json
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
