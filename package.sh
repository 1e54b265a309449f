#!/usr/bin/env bash
# Builds what servers install, into build-pkg/: the Debian packages
# vorn_VERSION_amd64.deb (the program, its systemd units and manual, no
# desktop libraries) and vorn-window_VERSION_amd64.deb (the window), checked
# by lintian, which must report no error; and the Windows zip
# vorn-VERSION-windows.zip (vorn.exe, its console twin vorn.com and
# README.txt). The programs come from the Release build in build/, the
# Windows programs from build-win/ (./build-windows.sh); each is rebuilt only
# when out of date.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/install-deps.sh

# debhelper makes the packages and their maintainer scripts, lintian checks
# them, dpkg-dev's dpkg-shlibdeps finds what they depend on, man-db renders
# the manual page and systemd's systemd-analyze checks the units for the
# tests.
vorn_install_package_deps() {
  local vorn_packages=(lintian dpkg-dev debhelper zip unzip man-db systemd)
  vorn_install_deps
}
vorn_install_deps
vorn_install_package_deps

out=build-pkg
# The home page's host, which packagers set: VORN_HOME_PAGE_HOST=... ./package.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release ${VORN_HOME_PAGE_HOST:+-DVORN_HOME_PAGE_HOST=$VORN_HOME_PAGE_HOST} >/dev/null
cmake --build build -j "$(nproc)" --target vorn vorn-window
version=$(sed -n 's/^project(vorn VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)

# debhelper works in a source tree with debian/ at its top; the packaging
# files are copied into one of their own, away from the repository.
make_debs() {
  rm -rf "$out" && mkdir -p "$out/source"
  cp -r packaging/debian "$out/source/debian"
  (cd "$out/source" && VORN_BUILD="$PWD/../../build" VORN_OUT="$PWD/.." debian/rules binary)
  rm -rf "$out/source"
  # lintian's one remaining note, hardening-no-fortify-functions, stays:
  # _FORTIFY_SOURCE would have to be set for every library of the build,
  # whose flags the sanitizer builds share (and fortified calls clash with
  # AddressSanitizer's own checks).
  local deb
  for deb in "$out"/vorn_"${version}"_amd64.deb "$out"/vorn-window_"${version}"_amd64.deb; do
    echo "== lintian $deb =="
    lintian --fail-on error --display-info "$deb"
  done
}

# README.txt is kept with LF in the repository and gets the CR LF Notepad
# and every Windows tool expect.
make_zip() {
  ./build-windows.sh --target vorn vorn-console
  local stage=$out/zip
  rm -rf "$stage" && mkdir -p "$stage"
  cp build-win/vorn.exe build-win/vorn.com "$stage/"
  sed 's/$/\r/' packaging/README-windows.txt >"$stage/README.txt"
  (cd "$stage" && zip -q -X "../vorn-${version}-windows.zip" vorn.exe vorn.com README.txt)
  rm -rf "$stage"
}

make_debs
make_zip
echo "Built: $(ls "$out"/*.deb "$out"/*.zip | tr '\n' ' ')"
