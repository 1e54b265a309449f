#!/usr/bin/env bash
# Cross-builds VORN for 64-bit Windows: installs what is missing (MinGW-w64,
# Wine, PCRE2 and GoogleTest for the target, once per machine) and leaves
# build-win/vorn.exe, one file that needs no DLL beside it, and its console
# twin vorn.com. Extra arguments go to the build, e.g.
# `./build-windows.sh --target vorn`; VORN_HOME_PAGE_HOST in the environment
# sets the home page's host (see README.md).
set -euo pipefail
cd "$(dirname "$0")"
source scripts/windows-deps.sh
vorn_win_install_deps

cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DVORN_WIN_DEPS="$vorn_win_prefix" \
  -DCMAKE_BUILD_TYPE=Release ${VORN_HOME_PAGE_HOST:+-DVORN_HOME_PAGE_HOST=$VORN_HOME_PAGE_HOST} >/dev/null
cmake --build build-win -j "$(nproc)" "$@"
