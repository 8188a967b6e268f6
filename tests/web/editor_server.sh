#!/usr/bin/env bash
# Starts and stops `talvane serve` for the browser tests, on 127.0.0.1 and a port the system chooses.
#   editor_server.sh start TALVANE DATABASE STATE_DIR   waits until it listens; its URL goes to STATE_DIR/url
#   editor_server.sh stop STATE_DIR
set -euo pipefail
case "$1" in
  start)
    talvane="$2" database="$3" state="$4"
    mkdir -p "$state"
    rm -f "$state/url" "$state/server.log"
    "$talvane" serve --connection "Data Source=$database" --bind 127.0.0.1 --port 0 >"$state/server.log" 2>&1 &
    echo $! >"$state/server.pid"
    for _ in $(seq 100); do
      url="$(grep -o 'http://127\.0\.0\.1:[0-9]*/' "$state/server.log" || true)"
      if [ -n "$url" ]; then
        echo "$url" >"$state/url"
        exit 0
      fi
      kill -0 "$(cat "$state/server.pid")" 2>/dev/null || break
      sleep 0.1
    done
    echo "the server did not start:" >&2
    cat "$state/server.log" >&2
    exit 1
    ;;
  stop)
    state="$2"
    [ -f "$state/server.pid" ] || exit 0
    pid="$(cat "$state/server.pid")"
    rm -f "$state/server.pid"
    kill -TERM "$pid" 2>/dev/null || exit 0
    for _ in $(seq 50); do
      kill -0 "$pid" 2>/dev/null || exit 0
      sleep 0.1
    done
    kill -KILL "$pid"
    ;;
esac
