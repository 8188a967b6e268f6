#!/usr/bin/env bash
# A private PostgreSQL cluster for the ODBC tests, in a directory of its own on a free loopback port.
#   postgres_cluster.sh setup DIR SCHEMA.sql  initdb, start, create the database "talvane", load the schema
#   postgres_cluster.sh stop DIR              stop the server (the cluster stays)
#   postgres_cluster.sh start DIR             start it again on the same port
#   postgres_cluster.sh teardown DIR          stop the server if it runs and remove the directory
# The server refuses to run as root: as root, the cluster belongs to the system's "postgres" user.
set -euo pipefail
verb=$1
dir=$(realpath -m "$2")
bin=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -1)

as_owner() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u postgres -- "$@"
  else
    "$@"
  fi
}

free_port() {
  /usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

start() {
  as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
    -o "-p $(cat "$dir/port") -k $dir -c listen_addresses=127.0.0.1 -c fsync=off" start >/dev/null
}

case "$verb" in
  setup)
    rm -rf "$dir"
    mkdir -p "$dir"
    [ "$(id -u)" -eq 0 ] && chown postgres "$dir"
    as_owner "$bin/initdb" -D "$dir/data" -A trust -U talvane -E UTF8 --locale=C --no-sync >/dev/null
    free_port >"$dir/port"
    start
    psql=("$bin/psql" -X -q -v ON_ERROR_STOP=1 -h 127.0.0.1 -p "$(cat "$dir/port")" -U talvane)
    "${psql[@]}" -d postgres -c "CREATE DATABASE talvane"
    "${psql[@]}" -d talvane -f "$3"
    ;;
  stop) as_owner "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null ;;
  start) start ;;
  teardown)
    if [ -d "$dir/data" ]; then
      as_owner "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
    fi
    rm -rf "$dir"
    ;;
  *) echo "usage: $0 setup|stop|start|teardown DIR [SCHEMA.sql]" >&2; exit 2 ;;
esac
