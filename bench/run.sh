#!/usr/bin/env bash
# Builds the program and the benchmark's references with optimisation and runs the benchmark.
# Arguments go to bench.py (for example --files 20000 --dirs 200 for a quick run).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/build.sh"
exec python3 "$here/bench.py" "$@"
