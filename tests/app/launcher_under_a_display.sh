#!/usr/bin/env bash
# vorn.com as a task in a user's session runs it: on a desktop a box could
# appear, and a silent run must still never wait for a person. Run under
# xvfb-run (a real X display), in the build's own Wine prefix: without
# vorn.ini the launcher's run says why and ends with status 2, where
# vorn.exe /auto shows the box and waits.
# Usage: launcher_under_a_display.sh WINE64 vorn.exe vorn.com
set -uo pipefail
wine=$1 exe=$2 launcher=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$exe" "$launcher" "$work/"
cd "$work" || exit 1
timeout 60 "$wine" "$(basename "$launcher")" /auto >"$work/out" 2>"$work/err"
status=$?
said=$(iconv -f GBK -t UTF-8 "$work/err" | tr -d '\r')
if [ "$status" -ne 2 ] || [ "${said%%$'\n'*}" != 'vorn.ini配置文件错误!' ] || [[ $said == *窗口* ]] || [ -s "$work/out" ]; then
  echo "vorn.com /auto under a display: status $status (2 expected, 124: it waited for a person)" >&2
  iconv -f GBK -t UTF-8 "$work/err" >&2
  exit 1
fi
