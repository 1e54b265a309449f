#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer +
# UndefinedBehaviorSanitizer) in build-fuzz and runs one of them, or all in
# turn, for SECONDS each from the seeds in fuzz/corpus/TARGET:
#
#   fuzz/run.sh settings 600          # ten minutes on the vorn.ini reader
#   fuzz/run.sh all 12 -runs=2000000  # what test.sh runs; options go to libFuzzer
#
# Targets: settings, pattern, dosattrib, format. New inputs collect in
# build-fuzz/corpus/TARGET (the committed seeds are only read); the fuzzer's
# output goes to build-fuzz/logs/TARGET.log. A crash stops the run with status
# 1 and leaves its input in build-fuzz/crashes/; replay it with
# build-fuzz/fuzz/fuzz_TARGET FILE.
set -euo pipefail
cd "$(dirname "$0")/.."
targets=(settings pattern dosattrib format)

usage() {
  local IFS='|'
  echo "usage: fuzz/run.sh {${targets[*]}|all} SECONDS [libFuzzer options]" >&2
  exit 2
}
[ $# -ge 2 ] && [[ $2 =~ ^[0-9]+$ ]] || usage
which=$1
seconds=$2
shift 2
if [ "$which" = all ]; then
  chosen=("${targets[@]}")
elif [[ " ${targets[*]} " == *" $which "* ]]; then
  chosen=("$which")
else
  usage
fi

source scripts/install-deps.sh
vorn_install_fuzz_deps >&2

build=build-fuzz
mkdir -p "$build/logs" "$build/crashes"
if ! { cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
         -DVORN_FUZZ=ON -DVORN_SANITIZE=address,undefined &&
       cmake --build "$build" -j "$(nproc)"; } >"$build/logs/build.log" 2>&1; then
  cat "$build/logs/build.log" >&2
  exit 1
fi

# Standard output is closed (-close_fd_mask=1): the reader's own complaints
# about bad lines would bury the fuzzer's report.
fuzz() {
  local target=$1; shift
  local log=$build/logs/$target.log
  mkdir -p "$build/corpus/$target"
  if UBSAN_OPTIONS=print_stacktrace=1 "$build/fuzz/fuzz_$target" "$build/corpus/$target" "fuzz/corpus/$target" \
       -max_total_time="$seconds" -timeout=10 -close_fd_mask=1 \
       -artifact_prefix="$build/crashes/$target-" "$@" >"$log" 2>&1; then
    echo "fuzz $target: $(grep -o 'Done [0-9]* runs in [0-9]* second(s)' "$log" | tail -1), no fault"
  else
    tail -n 60 "$log" >&2
    echo "fuzz $target: FAULT (whole output: $log)" >&2
    return 1
  fi
}

for target in "${chosen[@]}"; do
  fuzz "$target" "$@"
done
