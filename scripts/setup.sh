#!/usr/bin/env bash
# Installs the Debian packages that are missing:
#   scripts/setup.sh         everything the build, the tests and the tools need
#   scripts/setup.sh --main  only what the main job (scripts/run-example.sh) builds and runs
set -euo pipefail
# The main job: the compiler, CMake and Ninja, SQLite (the library, and the program that builds the sample
# database), JSON for the definition files and CLI11 for the command line.
main_packages=(cmake ninja-build g++ libsqlite3-dev sqlite3 nlohmann-json3-dev libcli11-dev)
# The tests and the tools: the sanitizer and fuzzer builds (clang), the test and benchmark libraries, the API
# reference, the picture and the manual page, the ODBC backend with its drivers, the Python package, the rule
# editor's server and the browser its page is tested in.
test_packages=(clang libclang-rt-14-dev libgtest-dev libgmock-dev libbenchmark-dev valgrind doxygen graphviz
               help2man unixodbc-dev libsqliteodbc odbc-postgresql postgresql tdsodbc
               python3 python3-dev python3-venv python3-pip python3-setuptools python3-wheel python3-pytest python3-pandas
               pybind11-dev python3-pybind11
               libcpp-httplib-dev pkg-config chromium zlib1g-dev)
packages=("${main_packages[@]}")
[ "${1:-}" = "--main" ] || packages+=("${test_packages[@]}")
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ "${1:-}" != "--main" ]; then
  # The ODBC backend's tests use the SQLite, PostgreSQL and FreeTDS drivers (their packages register them with
  # unixODBC) and a private PostgreSQL server the test run starts itself.
  # The T-SQL checker of the statement tests runs on Node.js; a machine may carry its own Node.js build.
  command -v node >/dev/null 2>&1 || missing+=(nodejs)
  command -v npm >/dev/null 2>&1 || missing+=(npm)
fi
if ((${#missing[@]})); then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "installing: ${missing[*]}"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
