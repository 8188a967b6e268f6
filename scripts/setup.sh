#!/usr/bin/env bash
# Installs the packages the build, the tests and the tools need, when any of them is missing.
set -euo pipefail
packages=(cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev libgmock-dev libbenchmark-dev
          libsqlite3-dev sqlite3 nlohmann-json3-dev libcli11-dev valgrind doxygen graphviz help2man
          unixodbc-dev libsqliteodbc odbc-postgresql postgresql tdsodbc
          python3 python3-dev python3-venv python3-pip python3-setuptools python3-wheel python3-pytest
          pybind11-dev python3-pybind11
          libcpp-httplib-dev pkg-config chromium zlib1g-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
# The ODBC backend's tests use the SQLite, PostgreSQL and FreeTDS drivers (their packages register them with
# unixODBC) and a private PostgreSQL server the test run starts itself.
# The T-SQL checker of the statement tests runs on Node.js; a machine may carry its own Node.js build.
command -v node >/dev/null 2>&1 || missing+=(nodejs)
command -v npm >/dev/null 2>&1 || missing+=(npm)
if ((${#missing[@]})); then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "installing: ${missing[*]}"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
