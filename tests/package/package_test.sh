#!/usr/bin/env bash
# Checks what ./package.sh left in build-pkg/: the Debian packages' files,
# control data and maintainer scripts, their life cycle (install, remove,
# reinstall, purge) in a scratch root, the unpacked program sweeping with the
# vorn.ini beside its real path, the systemd units, the manual page, and the
# Windows zip.
# Usage: tests/package/package_test.sh [build-pkg]
set -uo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
out=${1:-$repo/build-pkg}
deb=$(ls "$out"/vorn_*_amd64.deb)
window_deb=$(ls "$out"/vorn-window_*_amd64.deb)
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

# Directories are left out; every file is root's.
file_list() {
  dpkg-deb -c "$1" | awk '$1 !~ /^d/ {
    if ($2 != "root/root") print "owner " $2 " of " $6; $2 = $3 = $4 = $5 = ""; print }' |
    sed 's/  */ /g' | sort -k2
}

check_file_lists() {
  expect "vorn file list" "$(cat <<'LIST'
-rw-r--r-- ./lib/systemd/system/vorn.service
-rw-r--r-- ./lib/systemd/system/vorn.timer
-rw-r--r-- ./lib/systemd/system/vorn@.service
-rw-r--r-- ./lib/systemd/system/vorn@.timer
-rwxr-xr-x ./opt/vorn/vorn
lrwxrwxrwx ./usr/bin/vorn -> /opt/vorn/vorn
-rw-r--r-- ./usr/share/doc/vorn/changelog.gz
-rw-r--r-- ./usr/share/doc/vorn/copyright
-rw-r--r-- ./usr/share/lintian/overrides/vorn
-rw-r--r-- ./usr/share/man/man1/vorn.1.gz
LIST
)" "$(file_list "$deb")"
  expect "vorn-window file list" "$(cat <<'LIST'
-rwxr-xr-x ./opt/vorn/vorn-window
-rw-r--r-- ./usr/share/applications/vorn.desktop
-rw-r--r-- ./usr/share/doc/vorn-window/changelog.gz
-rw-r--r-- ./usr/share/doc/vorn-window/copyright
-rw-r--r-- ./usr/share/icons/hicolor/16x16/apps/vorn.png
-rw-r--r-- ./usr/share/icons/hicolor/32x32/apps/vorn.png
-rw-r--r-- ./usr/share/icons/hicolor/48x48/apps/vorn.png
-rw-r--r-- ./usr/share/lintian/overrides/vorn-window
LIST
)" "$(file_list "$window_deb")"
}

# A server that only sweeps needs no desktop: Qt is the window's alone.
check_control() {
  local version
  version=$(sed -n 's/^project(vorn VERSION \([0-9.]*\).*/\1/p' "$repo/CMakeLists.txt")
  expect "vorn version" "$version" "$(dpkg-deb -f "$deb" Version)"
  expect "vorn-window version" "$version" "$(dpkg-deb -f "$window_deb" Version)"
  local depends window_depends
  depends=$(dpkg-deb -f "$deb" Depends)
  window_depends=$(dpkg-deb -f "$window_deb" Depends)
  for lib in libc6 libpcre2-8-0; do
    [[ $depends == *"$lib "* ]] && pass "vorn depends on $lib" || fail "vorn depends on $lib" "$depends"
  done
  [[ $depends != *qt* ]] && pass "vorn does not depend on Qt" || fail "vorn does not depend on Qt" "$depends"
  for dep in "vorn (= $version)" "libqt6widgets6 "; do
    [[ $window_depends == *"$dep"* ]] && pass "vorn-window depends on $dep" || fail "vorn-window depends on $dep" "$window_depends"
  done
}

# What a scratch root cannot show, as the scripts say it: the service is never
# started by the package, the timer only through deb-systemd-invoke (which
# starts enabled units alone), and removal stops both, and every named
# sweep's timer and run.
check_scripts() {
  dpkg-deb -e "$deb" "$work/control"
  expect "units postinst may start" "'vorn.timer'" \
    "$(grep -o 'deb-systemd-invoke [^ ]* [^ >]*' "$work/control/postinst" | cut -d' ' -f3 | sort -u)"
  expect "units prerm stops" "'vorn.timer' vorn.service 'vorn@*.timer' 'vorn@*.service'" \
    "$(grep -o 'deb-systemd-invoke stop [^ >]*' "$work/control/prerm" | cut -d' ' -f3 | tr '\n' ' ' | sed 's/ $//')"
}

# Install, remove, reinstall and purge in a root of their own, the scripts run
# outside it with DPKG_ROOT naming it; the administrator's steps in between
# are done as systemctl does them offline.
check_life_cycle() {
  local r=$work/dpkg-root
  mkdir -p "$r/var/lib/dpkg/info" "$r/var/lib/dpkg/updates" "$r/opt/vorn"
  touch "$r/var/lib/dpkg/status" "$r/var/lib/dpkg/available"
  in_root() { $as_root dpkg --root="$r" --log=/dev/null --force-script-chrootless --force-depends "$@" >/dev/null 2>&1; }
  enabled() {  # the timer, vorn.timer unless named
    [ -L "$r/etc/systemd/system/timers.target.wants/${1:-vorn.timer}" ] && echo enabled || echo disabled
  }
  local stamp=var/lib/systemd/timers/stamp-vorn.timer
  echo "saved before" >"$r/opt/vorn/vorn.ini"

  in_root -i "$deb"
  expect "install moves earlier settings to /etc/vorn" "saved before /etc/vorn/vorn.ini" \
    "$(cat "$r/etc/vorn/vorn.ini") $(readlink "$r/opt/vorn/vorn.ini")"
  expect "install enables nothing" disabled "$(enabled)"
  $as_root systemctl --root="$r" enable vorn.timer vorn@web.timer >/dev/null 2>&1
  $as_root mkdir -p "$r/var/lib/systemd/timers" && $as_root touch "$r/$stamp" "$r/var/lib/systemd/timers/stamp-vorn@web.timer"
  $as_root sh -c "echo web >'$r/etc/vorn/web.ini'"
  expect "a named sweep is enabled by its timer" enabled "$(enabled vorn@web.timer)"

  in_root -r vorn
  expect "remove keeps the settings, takes the program" "saved before no program" \
    "$(cat "$r/etc/vorn/vorn.ini") $([ -e "$r/opt/vorn/vorn" ] && echo program || echo no program)"
  in_root -i "$deb"
  expect "reinstall keeps the timers enabled" "enabled enabled" "$(enabled) $(enabled vorn@web.timer)"
  $as_root systemctl --root="$r" disable vorn.timer >/dev/null 2>&1
  in_root -r vorn
  in_root -i "$deb"
  expect "reinstall keeps the timer disabled" disabled "$(enabled)"

  check_settings_link "$r"

  $as_root systemctl --root="$r" enable vorn.timer >/dev/null 2>&1
  in_root -P vorn
  expect "purge leaves only the administrator's named settings" "./etc/vorn/web.ini " \
    "$(cd "$r" && find . ! -type d ! -path './var/lib/dpkg/*' | sort | tr '\n' ' ')"
  $as_root rm -rf "$r"
}

# Earlier packages shipped /opt/vorn/vorn.ini themselves, a link that dpkg
# deletes as obsolete when the upgrade no longer ships it: a redirected link
# must come through. The earlier package is this one with the link added.
check_upgrade_from_shipped_link() {
  local r=$work/upgrade-root old=$work/old
  mkdir -p "$r/var/lib/dpkg/info" "$r/var/lib/dpkg/updates"
  touch "$r/var/lib/dpkg/status" "$r/var/lib/dpkg/available"
  dpkg-deb -R "$deb" "$old"
  ln -s /etc/vorn/vorn.ini "$old/opt/vorn/vorn.ini"
  dpkg-deb -b "$old" "$work/old.deb" >/dev/null
  in_root() { $as_root dpkg --root="$r" --log=/dev/null --force-script-chrootless --force-depends "$@" >/dev/null 2>&1; }
  in_root -i "$work/old.deb"
  $as_root ln -sfn /srv/conf/vorn.ini "$r/opt/vorn/vorn.ini"
  in_root -i "$deb"
  expect "upgrade from a shipped link keeps it redirected" /srv/conf/vorn.ini "$(readlink "$r/opt/vorn/vorn.ini")"
  $as_root rm -rf "$r" "$old"
}

# /opt/vorn/vorn.ini is the administrator's once it is there: an upgrade
# leaves a link pointed elsewhere as it is, and purging takes only the link
# the package made. Settings beside the program never overwrite those in
# /etc/vorn: both stay, with a warning. Leaves the package installed.
check_settings_link() {
  local r=$1 ini=$1/opt/vorn/vorn.ini warned
  $as_root ln -sfn /srv/conf/vorn.ini "$ini"
  in_root -i "$deb"
  expect "upgrade keeps a redirected settings link" /srv/conf/vorn.ini "$(readlink "$ini")"
  in_root -P vorn
  expect "purge keeps a redirected settings link" "./etc/vorn/web.ini ./opt/vorn/vorn.ini" \
    "$(cd "$r" && find . ! -type d ! -path './var/lib/dpkg/*' | sort | tr '\n' ' ' | sed 's/ $//')"
  $as_root rm "$ini"
  echo "beside" | $as_root tee "$ini" >/dev/null
  $as_root mkdir -p "$r/etc/vorn"
  echo "in etc" | $as_root tee "$r/etc/vorn/vorn.ini" >/dev/null
  warned=$($as_root dpkg --root="$r" --log=/dev/null --force-script-chrootless --force-depends -i "$deb" 2>&1 >/dev/null)
  expect "install keeps both settings files" "in etc beside file" \
    "$(cat "$r/etc/vorn/vorn.ini") $(cat "$ini") $([ -L "$ini" ] && echo link || echo file)"
  [[ $warned == *"/etc/vorn/vorn.ini"* ]] && pass "install warns of both settings files" ||
    fail "install warns of both settings files" "$warned"
  $as_root rm "$ini"
  in_root -i "$deb"
  expect "reinstall makes the settings link where none is" /etc/vorn/vorn.ini "$(readlink "$ini")"
}

# Run through a link from elsewhere, as /usr/bin/vorn is, with decoy vorn.ini
# files in the working directory and beside the link: the one beside the
# program's real path must be read.
check_silent_run() {
  dpkg-deb -x "$deb" "$root"
  expect "vorn links to no Qt library" 0 "$(ldd "$root/opt/vorn/vorn" | grep -c libQt)"
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

# The units as systemd reads them, the manual page they name included, and
# the services' exposure to what a sweep does not need (0 best, 10 worst):
# a named sweep's the same as the default one's. The template units are read
# as the instance vorn@web.
check_units() {
  local units=lib/systemd/system report
  cp "$root/$units/vorn@.service" "$root/$units/vorn@web.service"
  cp "$root/$units/vorn@.timer" "$root/$units/vorn@web.timer"
  report=$(cd "$root" && MANPATH=$root/usr/share/man systemd-analyze verify --root="$root" --recursive-errors=no \
    $units/vorn.service $units/vorn.timer $units/vorn@web.service $units/vorn@web.timer 2>&1)
  expect "systemd-analyze verify" "0 " "$? $report"
  local unit exposure exposures=""
  for unit in vorn.service vorn@web.service; do
    exposure=$(systemd-analyze security --offline=true --root="$root" $units/$unit 2>&1 |
      sed -n "s/.*Overall exposure level for $unit: \([0-9.]*\).*/\1/p")
    [ -n "$exposure" ] && awk "BEGIN { exit !($exposure <= 2.0) }" && pass "systemd-analyze security $unit $exposure" ||
      fail "systemd-analyze security $unit at most 2.0" "$exposure"
    exposures+="$exposure "
  done
  expect "a named sweep's exposure is the default one's" "${exposures%% *}" "$(echo $exposures | cut -d' ' -f2)"
  # The metrics file goes where Debian's node_exporter reads, which stays
  # writable whatever a drop-in narrows; a named sweep's under its own name.
  expect "services leave metrics" \
    "ExecStart=/opt/vorn/vorn /auto /metrics:/var/lib/prometheus/node-exporter ExecStart=/opt/vorn/vorn /auto /ini:/etc/vorn/%i.ini /metrics:/var/lib/prometheus/node-exporter" \
    "$(grep -h '^ExecStart=' "$root/$units/vorn.service" "$root/$units/vorn@.service" | tr '\n' ' ' | sed 's/ $//')"
  expect "metrics folder writable" \
    "ReadWritePaths=-/var/lib/prometheus/node-exporter ReadWritePaths=-/var/lib/prometheus/node-exporter" \
    "$(grep -h '^ReadWritePaths=' "$root/$units/vorn.service" "$root/$units/vorn@.service" | tr '\n' ' ' | sed 's/ $//')"
  rm "$root/$units/vorn@web.service" "$root/$units/vorn@web.timer"
}

check_man_page() {
  local page=$root/usr/share/man/man1/vorn.1.gz text
  text=$(MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>"$work/man.err")
  expect "man page warnings" "" "$(cat "$work/man.err")"
  for section in SYNOPSIS "ANOTHER SETTINGS FILE" METRICS PROGRESS CONFIGURATION SPEEDS "EXIT STATUS" FILES "Named sweeps" EXAMPLES; do
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

as_root=""
[ "$(id -u)" -eq 0 ] || as_root=sudo
check_file_lists
check_control
check_scripts
check_life_cycle
check_upgrade_from_shipped_link
check_silent_run
check_units
check_man_page
check_zip
if [ "$failures" -ne 0 ]; then
  echo "$failures package check(s) failed"
  exit 1
fi
echo "All package checks passed"
