#!/usr/bin/env bash
# Installs the browser tests' npm packages into DIR/node_modules (a directory in the build, never globally).
#   install.sh DIR
set -euo pipefail
dir="$1"
here="$(cd "$(dirname "$0")" && pwd)"
mkdir -p "$dir"
if ! cmp -s "$here/package.json" "$dir/package.json" || [ ! -d "$dir/node_modules/playwright-core" ]; then
  cp "$here/package.json" "$dir/package.json"
  npm install --prefix "$dir" --no-audit --no-fund --loglevel=error
fi
