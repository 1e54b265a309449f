#!/usr/bin/env bash
# The event each end of a silent run writes to the Windows Application log,
# as Wine's advapi32 shows it on its debug channels: the type and id of each
# ReportEventW (fixme:advapi) and its text (eventlog). Wine registers no
# source, as on a server where nobody registered VORN: the run must work
# unchanged.
# Usage: event_log_wine_test.sh VORN_EXE WINE_COMMAND... (the tests' emulator)
set -uo pipefail
exe=$1; shift
# The tests' emulator silences Wine; this test listens to two channels.
wine=("${@/#WINEDEBUG=*/WINEDEBUG=-all,fixme+advapi,trace+eventlog,warn+eventlog,err+eventlog}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
winpath() { echo "Z:${1//\//\\}"; }

# vorn.ini (CR LF) beside a copy of vorn.exe; its lines after the section.
configure() {
  mkdir -p "$work/bin" "$work/tree"
  cp "$exe" "$work/bin/vorn.exe"
  printf '%s\r\n' '[vorn]' "$@" >"$work/bin/vorn.ini"
}

# Runs `vorn.exe` with `args`; checks its status and the one event it wrote:
# its type (4 information, 2 warning, 1 error), id and a piece of its text.
check() {  # name, status, type, id (hex, 8 digits), text or "", args...
  local name=$1 status=$2 type=$3 id=$4 text=$5; shift 5
  echo x >"$work/tree/a.log"
  "${wine[@]}" "$work/bin/vorn.exe" "$@" >"$work/out" 2>"$work/err"
  local got=$?
  local events
  events=$(grep -c 'fixme:advapi:ReportEventW' "$work/err")
  if [ "$got" != "$status" ]; then
    echo "FAIL $name: status $got, expected $status"; failures=$((failures + 1))
  elif [ "$type" = none ]; then
    [ "$events" = 0 ] && echo "ok   $name: no event" || { echo "FAIL $name: $events events"; failures=$((failures + 1)); }
  elif [ "$events" != 1 ] || ! grep -q "ReportEventW ([0-9A-F]*,0x000$type,0x0000,0x$id," "$work/err" ||
       ! grep -q "eventlog:ReportEventW .*${text//\\/\\\\\\\\}" "$work/err"; then
    echo "FAIL $name: expected one event of type $type, id 0x$id, with [$text]"; failures=$((failures + 1))
    grep 'ReportEventW' "$work/err"
  else
    echo "ok   $name"
  fi
}

tree=$(winpath "$work/tree")
configure "filepath=$tree" 'filename=*.log' speed=3
check "completed run: information 1000" 0 4 000003e8 "" /auto
check "verbose run: information 1000" 0 4 000003e8 "" /auto /V
check "list-only run" 0 none "" "" /auto /L
configure "filepath=$tree\\gone" 'filename=*.log'
check "root that cannot be opened: error 1004" 5 1 000003ec "$tree\\gone" /auto
configure "filepath=$tree" 'filename=(' regex=true
check "pattern that does not compile: error 1005" 1 1 000003ed "" /auto
configure "filepath=$tree" 'filename=*.log' expiredays=x
check "refused vorn.ini: error 1003" 2 1 000003eb "$(winpath "$work/bin/vorn.ini")" /auto
[ "$failures" -eq 0 ] || exit 1
