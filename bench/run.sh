#!/usr/bin/env bash
# Builds the program and the benchmark's reference with optimisation and runs the benchmark.
# Arguments go to bench.py (for example --files 20000 --dirs 200 for a quick run).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cmake -S "$here/.." -B "$here/../build-bench" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$here/../build-bench" -j 2 --target vorn unlink_list
exec python3 "$here/bench.py" --vorn "$here/../build-bench/vorn" \
  --unlink "$here/../build-bench/bench/unlink_list" "$@"
