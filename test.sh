#!/usr/bin/env bash
# Installs what is missing, builds from nothing, and runs every test: first under
# AddressSanitizer + UndefinedBehaviorSanitizer, the threaded engine and the
# window that drives it under ThreadSanitizer, then a short fuzzing of what the
# program reads from outside, then the plain build, the Debian packages and the
# Windows zip (./package.sh, which also builds vorn.exe), the Ansible role
# applied to a Debian 12 root that is then booted, and last the Windows
# build (cross-built, its tests under Wine), whose ctest summary ends the output.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/install-deps.sh
vorn_install_deps

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

configure_and_build() {
  local dir=$1; shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$dir" -j "$jobs" ${VORN_TARGETS:+--target $VORN_TARGETS}
}

run_ctest() {
  local dir=$1; shift
  ctest --test-dir "$dir" --output-on-failure -j "$jobs" "$@"
}

echo "== AddressSanitizer + UndefinedBehaviorSanitizer =="
configure_and_build build-asan -DVORN_SANITIZE=address,undefined
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_ctest build-asan

echo "== ThreadSanitizer (engine, and the window driving it) =="
VORN_TARGETS="sweep_tests stop_requests_tests read_ahead_tests ui_core_tests window_tests" configure_and_build build-tsan -DVORN_SANITIZE=thread
# gcc 12's TSan cannot map its shadow memory under high-entropy ASLR; run without it.
TSAN_OPTIONS="halt_on_error=1 suppressions=$PWD/tests/tsan-qt.supp" setarch "$(uname -m)" -R \
  ctest --test-dir build-tsan --output-on-failure -j "$jobs" -L 'threads|ui'

# Every fuzz target for 12 s from its seeds (a minute in all at most);
# fuzz/run.sh runs them longer by hand.
fuzz_stage() {
  echo "== Fuzzing (libFuzzer, AddressSanitizer + UndefinedBehaviorSanitizer) =="
  local start=$SECONDS
  fuzz/run.sh all 12 -runs=2000000
  echo "Fuzzing took $((SECONDS - start)) s, its build included"
}
fuzz_stage

echo "== Tests =="
configure_and_build build -DCMAKE_BUILD_TYPE=Release
run_ctest build
# The metrics file through a real node_exporter, the progress line on a terminal.
tests/app/silent_watch_test.sh build/vorn

echo "== Package (Debian packages, Windows zip) =="
./package.sh
tests/package/package_test.sh

echo "== Ansible role (a Debian 12 root, booted with systemd-nspawn) =="
tests/deploy/role_test.sh

echo "== Windows (cross-built, tests under Wine) =="
./build-windows.sh
# Prepares a Wine prefix of the Windows build and starts its server.
start_wine_prefix() {
  export WINEPREFIX=$PWD/build-win/$1
  # One Wine server per prefix for the whole run, started before anything else
  # uses it: each test then starts in a fraction of Wine's start-up time.
  mkdir -p "$WINEPREFIX"
  wineserver -p
  # A new prefix is made once (wineboot warns, harmlessly, of the missing
  # 32-bit part). Wine's services start here, away from ctest: started by the
  # first test, they would hold its output pipe open and stall its listing.
  if [ -f "$WINEPREFIX/system.reg" ]; then wineboot; else wineboot -i; fi >/dev/null 2>&1 || true
}
run_windows_tests() {
  export WINEDEBUG=-all
  trap 'WINEPREFIX=$PWD/build-win/wine wineserver -k; WINEPREFIX=$PWD/build-win/wine-window wineserver -k' EXIT
  start_wine_prefix wine
  # The window's tests: Wine's null display driver gives them real windows
  # and device contexts without a screen. The desktop takes its driver when it
  # starts, so the prefix starts again once the driver is set.
  start_wine_prefix wine-window
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
  wineserver -k && wineserver -w
  start_wine_prefix wine-window
  # Wine's desktop (explorer.exe /desktop, and rpcss) starts with the first
  # window; started by a test, it would hold that test's output pipe for some
  # 20 s after the test ends, and every window test would wait so. A file
  # browser that is never shown keeps it running until `wineserver -k`.
  wine explorer.exe >/dev/null 2>&1 &
  sleep 3  # up before the first test needs it
  run_ctest build-win
}
run_windows_tests
