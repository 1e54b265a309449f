#!/usr/bin/env bash
# Checks what ./package.sh left in build-pkg/: the Debian package's files and
# control data, the unpacked program sweeping with the vorn.ini beside its
# real path, the systemd units, the manual page, and the Windows zip.
# Usage: tests/package/package_test.sh [build-pkg]
set -uo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
out=${1:-$repo/build-pkg}
deb=$(ls "$out"/vorn_*_amd64.deb)
zip=$(ls "$out"/vorn-*-windows.zip)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$work/root
failures=0

pass() { echo "ok   $1"; }
fail() { echo "FAIL $1${2:+: $2}"; failures=$((failures + 1)); }
expect() {  # name, what was expected, what came
  if [ "$2" == "$3" ]; then pass "$1"; else fail "$1" "expected [$2], got [$3]"; fi
}

check_file_list() {
  local expected
  expected=$(cat <<'LIST'
-rw-r--r-- ./lib/systemd/system/vorn.service
-rw-r--r-- ./lib/systemd/system/vorn.timer
-rwxr-xr-x ./opt/vorn/vorn
lrwxrwxrwx ./usr/bin/vorn -> /opt/vorn/vorn
-rw-r--r-- ./usr/share/applications/vorn.desktop
-rw-r--r-- ./usr/share/doc/vorn/changelog.gz
-rw-r--r-- ./usr/share/doc/vorn/copyright
-rw-r--r-- ./usr/share/icons/hicolor/16x16/apps/vorn.png
-rw-r--r-- ./usr/share/icons/hicolor/32x32/apps/vorn.png
-rw-r--r-- ./usr/share/icons/hicolor/48x48/apps/vorn.png
-rw-r--r-- ./usr/share/lintian/overrides/vorn
-rw-r--r-- ./usr/share/man/man1/vorn.1.gz
LIST
)
  # Directories are left out; every file is root's.
  expect "file list" "$expected" "$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {
    if ($2 != "root/root") print "owner " $2 " of " $6; $2 = $3 = $4 = $5 = ""; print }' |
    sed 's/  */ /g' | sort -k2)"
}

check_control() {
  expect "package name" vorn "$(dpkg-deb -f "$deb" Package)"
  local version
  version=$(sed -n 's/^project(vorn VERSION \([0-9.]*\).*/\1/p' "$repo/CMakeLists.txt")
  expect "version" "$version" "$(dpkg-deb -f "$deb" Version)"
  local depends
  depends=$(dpkg-deb -f "$deb" Depends)
  for lib in libc6 libpcre2-8-0 libqt6widgets6; do
    [[ $depends == *"$lib "* ]] && pass "depends on $lib" || fail "depends on $lib" "$depends"
  done
  # Nothing runs at installation or removal: the timer is not enabled.
  dpkg-deb -e "$deb" "$work/control"
  expect "no maintainer scripts" "control md5sums" "$(ls "$work/control" | tr '\n' ' ' | sed 's/ $//')"
}

# Run through a link from elsewhere, as /usr/bin/vorn is, with decoy vorn.ini
# files in the working directory and beside the link: the one beside the
# program's real path must be read.
check_silent_run() {
  dpkg-deb -x "$deb" "$root"
  local tree=$work/tree
  mkdir -p "$tree/sub" "$work/bin" "$work/cwd"
  touch "$tree/a.log" "$tree/b.log" "$tree/keep.txt" "$tree/sub/c.log"
  ln -s "$root/opt/vorn/vorn" "$work/bin/vorn"
  write_ini "$root/opt/vorn/vorn.ini" "$tree" '*.log'
  write_ini "$work/bin/vorn.ini" "$tree" '*.txt'
  write_ini "$work/cwd/vorn.ini" "$tree" '*.txt'
  local output status tries=0
  # Another root instance (a test elsewhere on the machine) holds the lock
  # for a moment: status 3, nothing deleted; try again.
  while
    output=$(cd "$work/cwd" && "$work/bin/vorn" /auto 2>&1)
    status=$?
    [ "$status" -eq 3 ] && [ $((tries += 1)) -lt 60 ]
  do sleep 1; done
  expect "silent run status" 0 "$status"
  [[ $output == *"删除了3个文件"* ]] && pass "silent run summary" || fail "silent run summary" "$output"
  expect "silent run leaves" "$tree/keep.txt $tree/sub" "$(find "$tree" -mindepth 1 | sort | tr '\n' ' ' | sed 's/ $//')"
}

write_ini() {  # file, root, pattern; CR LF as the program requires
  printf '[vorn]\r\nfilepath=%s\r\nfilename=%s\r\nsubdir=true\r\nspeed=3\r\n' "$2" "$3" >"$1"
}

check_units() {
  if ! command -v systemd-analyze >/dev/null; then
    echo "skip systemd units: systemd-analyze is not installed here"
    return
  fi
  # Checked inside the unpacked root (ExecStart's program is there), the
  # manual page they name included; it warns on stderr without failing.
  local report
  report=$(cd "$root" && MANPATH=$root/usr/share/man systemd-analyze verify --root="$root" \
    --recursive-errors=no lib/systemd/system/vorn.service lib/systemd/system/vorn.timer 2>&1)
  expect "systemd-analyze verify" "0 " "$? $report"
}

check_man_page() {
  local page=$root/usr/share/man/man1/vorn.1.gz text
  text=$(MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>"$work/man.err")
  expect "man page warnings" "" "$(cat "$work/man.err")"
  for section in SYNOPSIS CONFIGURATION SPEEDS "EXIT STATUS" FILES EXAMPLES; do
    [[ $text == *"$section"* ]] && pass "man page has $section" || fail "man page has $section"
  done
}

check_zip() {
  expect "zip contents" "README.txt vorn.com vorn.exe" "$(unzip -Z1 "$zip" | sort | tr '\n' ' ' | sed 's/ $//')"
  for program in vorn.exe vorn.com; do
    expect "$program is a Windows program" MZ "$(unzip -p "$zip" $program | head -c 2)"
  done
  # Every line of README.txt ends in CR LF, the last one included.
  local readme=$work/README.txt
  unzip -p "$zip" README.txt >"$readme"
  expect "README.txt lines without CR" 0 "$(grep -c $'[^\r]$\|^$' "$readme")"
  expect "README.txt ends in CR LF" "0d0a" "$(tail -c 2 "$readme" | od -An -tx1 | tr -d ' ')"
}

check_file_list
check_control
check_silent_run
check_units
check_man_page
check_zip
if [ "$failures" -ne 0 ]; then
  echo "$failures package check(s) failed"
  exit 1
fi
echo "All package checks passed"
