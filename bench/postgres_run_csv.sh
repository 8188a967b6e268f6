#!/usr/bin/env bash
# `talvane run --format csv` of a report of a million rows from PostgreSQL, next to `psql --csv` of the same
# statement on the same server: a private cluster (tests/odbc/postgres_cluster.sh) with the million-row table
# of the ODBC tests. Prints both times, both speeds and their ratio; it never fails on a figure.
#   bench/postgres_run_csv.sh TALVANE_PROGRAM [RUNS]
set -euo pipefail
talvane=$(realpath "$1")
runs=${2:-3}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
chmod 755 "$work"  # the server runs as the "postgres" user when this runs as root
trap 'bash "$here/../tests/odbc/postgres_cluster.sh" teardown "$work/cluster"; rm -rf "$work"' EXIT
bash "$here/../tests/odbc/postgres_cluster.sh" setup "$work/cluster" "$here/../tests/odbc/postgres_schema.sql"
port=$(cat "$work/cluster/port")
driver=$(find /usr/lib -name psqlodbcw.so | head -1)
connection="Driver=$driver;Server=127.0.0.1;Port=$port;Database=talvane;UID=talvane"
cat >"$work/million.json" <<'JSON'
{"mainTable": "million", "mainField": "id",
 "fields": [{"field": "million.id"}, {"field": "million.amount"}],
 "formulas": [{"text": "million.amount > 0"}]}
JSON
statement=$("$talvane" sql "$work/million.json" --connection "$connection" --dialect postgresql | tr '\r\n\t' '   ')
bin=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -1)

best() {  # the least of RUNS wall times, in seconds, of the command given
  local least=
  for _ in $(seq "$runs"); do
    local start end
    start=$(date +%s.%N)
    "$@" >"$work/out.csv"
    end=$(date +%s.%N)
    least=$(echo "$end - $start" | bc -l | awk -v l="$least" '{ print (l == "" || $1 < l) ? $1 : l }')
  done
  echo "$least"
}

talvane_s=$(best "$talvane" run "$work/million.json" --connection "$connection" --format csv)
talvane_rows=$(($(wc -l <"$work/out.csv") - 1))
psql_s=$(best "$bin/psql" -X -q --csv -h 127.0.0.1 -p "$port" -U talvane -d talvane -c "$statement")
psql_rows=$(($(wc -l <"$work/out.csv") - 1))
echo "statement: $statement"
printf 'talvane run --format csv: %d rows in %.2f s (%.0f rows/s)\n' "$talvane_rows" "$talvane_s" \
  "$(echo "$talvane_rows / $talvane_s" | bc -l)"
printf 'psql --csv:               %d rows in %.2f s (%.0f rows/s)\n' "$psql_rows" "$psql_s" \
  "$(echo "$psql_rows / $psql_s" | bc -l)"
printf 'talvane / psql speed: %.2f\n' "$(echo "$psql_s / $talvane_s" | bc -l)"
