#!/usr/bin/env bash
# How often the journal made the deleting thread wait: the journal checkpoints
# and block requests each program causes while it deletes the *.log files of
# one fresh copy of a tree bench.py made (needs root, for perf's tracepoints):
#   bench/journal.sh [--one-worker] [--rounds N] WORK TEMPLATE PROGRAM...
# PROGRAM is `find` or a vorn executable, run as bench.py runs it (every
# attribute allowed, full speed). Prints, per run, the checkpoints, the block
# requests, the wall, user and system seconds.
set -euo pipefail
confine=()
rounds=1
while [ $# -gt 0 ]; do
    case "$1" in
    --one-worker) confine=(taskset -c 0); shift ;;
    --rounds) rounds="$2"; shift 2 ;;
    *) break ;;
    esac
done
work="${1:?usage: $0 [--one-worker] [--rounds N] WORK TEMPLATE PROGRAM...}"
template="${2:?template tree}"
shift 2
copy="$work/journal-run"
for round in $(seq "$rounds"); do
    number=0
    for program in "$@"; do
        number=$((number + 1))
        rm -rf "$copy"
        cp -a "$template" "$copy"
        sync
        if [ "$program" = find ]; then
            command=(find "$copy" -name '*.log' -type f -delete)
        else
            folder="$work/journal-programs/$number"  # programs of the same name apart
            mkdir -p "$folder"
            cp "$program" "$folder/vorn"
            printf '[vorn]\r\nfilepath=%s\r\nfilename=*.log\r\nregex=false\r\nsubdir=true\r\nsystem=true\r\nreadonly=true\r\nhidden=true\r\ndirtree=true\r\nexpiredays=0\r\nspeed=3\r\n' \
                "$copy" >"$folder/vorn.ini"
            command=("${confine[@]}" "$folder/vorn" /auto)
        fi
        report=$(perf stat -e jbd2:jbd2_checkpoint -e block:block_rq_issue -- "${command[@]}" 2>&1 >/dev/null)
        count() { awk -v event="$1" '$2 == event { gsub(",", "", $1); print $1 }' <<<"$report"; }
        seconds() { awk -v what="$1" '$2 == "seconds" && $3 == what { print $1 }' <<<"$report"; }
        printf '%-36s round %d: %4s checkpoints %7s requests %6.2f s wall %6.2f s user %6.2f s system\n' \
            "$program" "$round" "$(count jbd2:jbd2_checkpoint)" "$(count block:block_rq_issue)" \
            "$(seconds time)" "$(seconds user)" "$(seconds sys)"
    done
done
rm -rf "$copy"
