#!/usr/bin/env bash
# Sets up what is missing, builds build/ (or $TALVANE_BUILD_DIR) and runs the main job: the `talvane` program on example formulas.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
dir=${TALVANE_BUILD_DIR:-build}
args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
[ "${CI:-}" = "true" ] && args+=(-DTALVANE_WERROR=ON)
cmake -S . -B "$dir" -G Ninja "${args[@]}"
cmake --build "$dir" --target talvane_cli
talvane=$dir/bin/talvane

# Shows and runs one command: run <command> <formula>.
run() {
  echo "\$ talvane $1 \"$2\""
  "$talvane" "$1" "$2"
}

run tokens "Orders.Amount >= 100"
echo
run tokens "[Orders].[Ship Date] BETWEEN 01/01/2003 AND 31/12/2003 "
echo
run tokens "SUM(Lines.Qty) > 10 AND Orders.Status IN(1, 2, 3)"
echo

# An underscore is not allowed outside a quoted string: this one must fail, and only with the syntax error.
set +e
output=$("$talvane" tokens "Orders.Amount = 1_000" 2>&1)
status=$?
set -e
echo "\$ talvane tokens \"Orders.Amount = 1_000\""
echo "$output"
echo "(exit code $status, as intended)"
if [ "$status" -ne 1 ] || ! grep -q "Invalid syntax for item" <<<"$output"; then
  echo "the failing example did not fail as intended" >&2
  exit 1
fi
