#!/usr/bin/env bash
# Builds the program and the benchmark's references with optimisation in
# build-bench/, where bench.py looks for them; arguments name more targets.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cmake -S "$here/.." -B "$here/../build-bench" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$here/../build-bench" -j 2 --target vorn unlink_list floor_walk "$@"
