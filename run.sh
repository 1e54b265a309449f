#!/usr/bin/env bash
# Installs what is missing, builds the program (Release) when needed, and
# starts build/vorn with the given arguments: `./run.sh` opens the window,
# `./run.sh /auto` sweeps once with build/vorn.ini.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/install-deps.sh
vorn_install_deps >&2

# Build output goes to a log, so a silent run prints only its result.
log=build/run-build.log
mkdir -p build
if ! { cmake -S . -B build -DCMAKE_BUILD_TYPE=Release && cmake --build build -j "$(nproc)" --target vorn; } >"$log" 2>&1; then
  cat "$log" >&2
  exit 1
fi
exec build/vorn "$@"
