#!/usr/bin/env bash
# What a silent run tells those who watch it, read as they read it: the
# metrics file through a real node_exporter (Debian's
# prometheus-node-exporter, started here on a free port of 127.0.0.1 with
# only its textfile collector, scraped over HTTP), and the progress line on
# a pseudo-terminal (script(1)) but not on a pipe.
# Usage: tests/app/silent_watch_test.sh [build/vorn]
set -uo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
program=$(realpath "${1:-$repo/build/vorn}")
source "$repo/scripts/install-deps.sh"
vorn_install_metrics_deps
work=$(mktemp -d)
exporter_pid=""
trap '[ -n "$exporter_pid" ] && kill "$exporter_pid" 2>/dev/null; rm -rf "$work"' EXIT
failures=0

pass() { echo "ok   $1"; }
fail() { echo "FAIL $1${2:+: $2}"; failures=$((failures + 1)); }
expect() {  # name, what was expected, what came
  if [ "$2" == "$3" ]; then pass "$1"; else fail "$1" "expected [$2], got [$3]"; fi
}

# Runs `command` with its output in `out` and `err`. On a machine where other
# runs of vorn as root come and go (another checkout's tests), a run turned
# away by their instance (status 3, never one of this test's outcomes) is
# tried again.
retrying() {  # out, err, command...
  local out=$1 err=$2 status; shift 2
  for _ in $(seq 60); do
    "$@" >"$out" 2>"$err"
    status=$?
    [ "$status" -ne 3 ] && return "$status"
    sleep 0.5
  done
  return 3
}

# vorn.ini beside a copy of the program, sweeping $work/tree at `speed`.
install_vorn() {  # root, speed
  mkdir -p "$work/bin"
  cp "$program" "$work/bin/vorn"
  printf '%s\r\n' '[vorn]' "filepath=$1" 'filename=*.log' regex=false subdir=true system=false \
    readonly=false hidden=true dirtree=true expiredays=0 "speed=$2" >"$work/bin/vorn.ini"
}

plant_tree() {  # files at the top, with 100 bytes each
  rm -rf "$work/tree"
  mkdir -p "$work/tree/sub" "$work/tree/kept"
  for i in $(seq "$1"); do head -c 100 /dev/zero >"$work/tree/f$i.log"; done
  head -c 50 /dev/zero >"$work/tree/sub/g.log"
  echo x >"$work/tree/kept/ro.log"
  chmod a-w "$work/tree/kept/ro.log"
}

# Starts node_exporter with its textfile collector alone on $work/prom, on
# the first port of a few random ones that it can listen on.
start_exporter() {
  local tries
  for tries in 1 2 3 4 5; do
    port=$((20000 + RANDOM % 20000))
    prometheus-node-exporter --web.listen-address="127.0.0.1:$port" --collector.disable-defaults \
      --collector.textfile --collector.textfile.directory="$work/prom" >"$work/exporter.log" 2>&1 &
    exporter_pid=$!
    for _ in $(seq 50); do
      curl -sf -m 2 "http://127.0.0.1:$port/metrics" >/dev/null && return 0
      kill -0 "$exporter_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill "$exporter_pid" 2>/dev/null
    wait "$exporter_pid" 2>/dev/null
  done
  exporter_pid=""
  return 1
}

scrape() { curl -sf -m 5 "http://127.0.0.1:$port/metrics"; }
# The value of one sample in the last scrape.
value() { awk -v s="$1" '$1 == s { print $2 }' "$work/scrape"; }

check_metrics() {
  mkdir -p "$work/prom"
  plant_tree 3
  install_vorn "$work/tree" 3
  (umask 077; retrying "$work/out" "$work/err" "$work/bin/vorn" /auto "/metrics:$work/prom")
  expect "run with metrics: status" 0 $?
  expect "run with metrics: nothing on standard error" "" "$(cat "$work/err")"
  expect "metrics file readable by the collector's user despite umask 077" 644 "$(stat -c %a "$work/prom/vorn.prom")"
  expect "no temporary left" "vorn.prom" "$(ls "$work/prom")"
  if ! start_exporter; then
    fail "node_exporter starts" "$(cat "$work/exporter.log")"
    return
  fi
  scrape >"$work/scrape" || fail "scrape"
  local l='{settings="vorn"}'
  expect "node_textfile_scrape_error" 0 "$(value node_textfile_scrape_error)"
  expect "vorn_run_status" 0 "$(value "vorn_run_status$l")"
  expect "vorn_files_found" 5 "$(value "vorn_files_found$l")"
  expect "vorn_files_deleted" 4 "$(value "vorn_files_deleted$l")"
  expect "vorn_files_deleted_bytes" 350 "$(value "vorn_files_deleted_bytes$l")"
  expect "vorn_files_spared readonly" 1 "$(value 'vorn_files_spared{reason="readonly",settings="vorn"}')"
  expect "vorn_files_spared too_recent" 0 "$(value 'vorn_files_spared{reason="too_recent",settings="vorn"}')"
  expect "vorn_directories_searched" 3 "$(value "vorn_directories_searched$l")"
  expect "vorn_directories_removed" 1 "$(value "vorn_directories_removed$l")"
  expect "vorn_shortfalls undeleted_files" 0 "$(value 'vorn_shortfalls{kind="undeleted_files",settings="vorn"}')"
  local ended success
  ended=$(value "vorn_run_end_time_seconds$l")
  success=$(value "vorn_last_success_time_seconds$l")
  expect "last success is this run's end" "$ended" "$success"
  [ -n "$ended" ] && awk -v e="$ended" -v n="$(date +%s)" 'BEGIN { exit !(n - e < 60 && e <= n) }' &&
    pass "end time is now" || fail "end time is now" "$ended"
  [ -n "$(value "vorn_run_duration_seconds$l")" ] && pass "duration" || fail "duration"

  # A failed run: the root is gone. Its end is later; the success stays.
  sleep 1
  rm -rf "$work/tree"
  retrying /dev/null /dev/null "$work/bin/vorn" /auto "/metrics:$work/prom"
  expect "failed run: status" 5 $?
  scrape >"$work/scrape" || fail "scrape after the failed run"
  expect "failed run: vorn_run_status" 5 "$(value "vorn_run_status$l")"
  expect "failed run keeps the last success" "$success" "$(value "vorn_last_success_time_seconds$l")"
  # The exporter writes large values in Go's exponent form (1.7e+09).
  awk -v a="$(value "vorn_run_end_time_seconds$l")" -v b="$ended" 'BEGIN { exit !(a + 0 > b + 0) }' &&
    pass "failed run: a later end" || fail "failed run: a later end"
  expect "failed run: node_textfile_scrape_error" 0 "$(value node_textfile_scrape_error)"

  # No vorn.ini at all, and no window to configure one: status 2, told too.
  mv "$work/bin/vorn.ini" "$work/vorn.ini.away"
  retrying /dev/null /dev/null "$work/bin/vorn" /auto "/metrics:$work/prom"
  expect "no vorn.ini: status" 2 $?
  scrape >"$work/scrape" || fail "scrape after the run without vorn.ini"
  expect "no vorn.ini: vorn_run_status" 2 "$(value "vorn_run_status$l")"
  expect "no vorn.ini: last success kept" "$success" "$(value "vorn_last_success_time_seconds$l")"
  mv "$work/vorn.ini.away" "$work/bin/vorn.ini"
}

# No collector here: nothing written, nothing said. A folder that is there
# but takes no file: said on standard error, the sweep's status unchanged.
check_folder_cases() {
  plant_tree 1
  retrying "$work/out" "$work/err" "$work/bin/vorn" /auto "/metrics:$work/none"
  expect "missing folder: status" 0 $?
  expect "missing folder: nothing said" "" "$(cat "$work/err")"
  [ ! -e "$work/none" ] && pass "missing folder: not made" || fail "missing folder: not made"
  plant_tree 1
  echo "not a folder" >"$work/file"
  retrying "$work/out" "$work/err" "$work/bin/vorn" /auto "/metrics:$work/file"
  expect "unusable folder: status" 0 $?
  expect "unusable folder: one line" 1 "$(wc -l <"$work/err")"
  grep -q "无法写入指标文件 $work/file/vorn.prom" "$work/err" && pass "unusable folder: named" ||
    fail "unusable folder: named" "$(cat "$work/err")"
}

# At low speed the run takes a second or more: long enough for a few
# redraws. Standard output holds the summary alone either way.
check_progress() {
  plant_tree 12
  install_vorn "$work/tree" 0
  local summary
  summary=$(printf '运行完成! 共搜索到14个文件，删除了13个文件')
  TERM=dumb retrying /dev/null "$work/script.err" script -qec "stty cols 80; '$work/bin/vorn' /auto >'$work/out'" \
    "$work/typescript"
  expect "terminal: summary alone on standard output" "$summary" "$(cat "$work/out")"
  grep -q '已搜索.*个文件，已删除.*用时0:00:0.，搜索目录 ' "$work/typescript" && pass "terminal: progress line shown" ||
    fail "terminal: progress line shown" "$(cat -v "$work/typescript")"
  # The first draw has nothing longer before it to cover: no padding after it.
  local first
  first=$(tr '\r' '\n' <"$work/typescript" | grep -m1 '^已搜索')
  [[ -n "$first" && "$first" != *' ' ]] && pass "terminal: first draw ends at its text" ||
    fail "terminal: first draw ends at its text" "$(printf '%s' "$first" | cat -A)"
  # Its path makes it longer than the terminal: cut a column short, so that it never wraps.
  expect "terminal: a long line cut a column short" 79 "$(printf '%s' "$first" | LC_ALL=C.UTF-8 wc -L)"
  # script(1) ends its record with a line of its own.
  tail -c 300 "$work/typescript" | tr -d '\n' | grep -q $'\r  *\rScript done' && pass "terminal: line cleared at the end" ||
    fail "terminal: line cleared at the end" "$(tail -c 200 "$work/typescript" | cat -v)"
  plant_tree 12
  # Standard error into a pipe, whose far end keeps what came through.
  retrying "$work/err" /dev/null bash -o pipefail -c "'$work/bin/vorn' /auto 2>&1 >'$work/out' | cat"
  expect "pipe: summary alone on standard output" "$summary" "$(cat "$work/out")"
  expect "pipe: nothing on standard error" "" "$(cat "$work/err")"
}

check_metrics
check_folder_cases
check_progress
if [ "$failures" -ne 0 ]; then
  echo "$failures silent-run watch check(s) failed"
  exit 1
fi
echo "All silent-run watch checks passed"
