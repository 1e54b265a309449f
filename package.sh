#!/usr/bin/env bash
# Builds what servers install, into build-pkg/: the Debian package
# vorn_VERSION_amd64.deb (checked by lintian, which must report no error) and
# the Windows zip vorn-VERSION-windows.zip (vorn.exe, its console twin vorn.com
# and README.txt). The program comes from the Release build in build/, the
# Windows programs from build-win/ (./build-windows.sh); each is rebuilt only
# when out of date.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/install-deps.sh

# lintian checks the package, dpkg-shlibdeps (in dpkg-dev) finds what it
# depends on, man-db renders the manual page for the tests.
vorn_install_package_deps() {
  local vorn_packages=(lintian dpkg-dev zip unzip man-db)
  vorn_install_deps
}
vorn_install_deps
vorn_install_package_deps

out=build-pkg
# The home page's host, which packagers set: VORN_HOME_PAGE_HOST=... ./package.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release ${VORN_HOME_PAGE_HOST:+-DVORN_HOME_PAGE_HOST=$VORN_HOME_PAGE_HOST} >/dev/null
cmake --build build -j "$(nproc)" --target vorn
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' build/CPackConfig.cmake)

make_deb() {
  rm -rf "$out" && mkdir -p "$out"
  cpack --config build/CPackConfig.cmake -B "$out" >/dev/null
  rm -rf "$out/_CPack_Packages"
  deb=$out/vorn_${version}_amd64.deb
  echo "== lintian $deb =="
  lintian --fail-on error --display-info "$deb"
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

make_deb
make_zip
echo "Built: $out/vorn_${version}_amd64.deb $out/vorn-${version}-windows.zip"
