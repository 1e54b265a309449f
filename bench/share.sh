#!/usr/bin/env bash
# Runs the benchmark on a share made on this machine: the work folder shown
# through bench/slow_share, which waits a fixed time in every call, once for
# each wait. Needs libfuse3-dev to build and /dev/fuse (root, or fuse3's
# fusermount3) to mount.
#   bench/share.sh [--delays "200 1000 5000"] [--work DIR] [bench.py arguments]
#   bench/share.sh --files 2000 --dirs 20    # 20 folders of 100 files
#   bench/share.sh --files 2000 --flat       # one folder of 2,000 files
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
delays="200 1000 5000"
work="$here/out"
passed=()
while [ $# -gt 0 ]; do
    case "$1" in
    --delays) delays="$2"; shift 2 ;;
    --work) work="$2"; shift 2 ;;
    *) passed+=("$1"); shift ;;
    esac
done
# Without --only, the runs the share's figures are about.
if [[ " ${passed[*]-} " != *" --only "* ]]; then
    passed+=(--only "vorn *.log" "vorn *.log, one worker" "vorn *.log, default filters"
             "vorn *.log, default filters, one worker" "floor, default filters")
fi
mkdir -p "$work"
share="$(mktemp -d "${TMPDIR:-/tmp}/vorn-share.XXXXXX")"
trap 'fusermount3 -u "$share" 2>/dev/null; rmdir "$share"' EXIT
"$here/build.sh" slow_share
for delay in $delays; do
    echo "== every call waits $delay µs"
    # Many threads, so that calls made at once also wait at once.
    "$here/../build-bench/bench/slow_share" --delay-us "$delay" "$work" "$share" -o max_threads=64
    python3 "$here/bench.py" --work "$work" --through "$share" "${passed[@]}"
    fusermount3 -u "$share"
done
