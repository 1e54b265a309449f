#!/usr/bin/env bash
# What the Windows build needs, made once per machine: the MinGW-w64 compiler,
# Wine to run the tests, and PCRE2 and GoogleTest built for the target into a
# cache outside the repository. Sourced by build-windows.sh.
#
# PCRE2 has no MinGW package: it is built from Debian's source package of the
# version the Linux build uses, so both builds match names alike.

vorn_win_packages=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64 wine dpkg-dev locales cmake
  googletest libpcre2-dev xvfb xauth)
vorn_win_cache=${VORN_WIN_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/vorn-win}
vorn_win_toolchain=$PWD/cmake/mingw-w64.cmake

source "$(dirname "${BASH_SOURCE[0]}")/install-deps.sh"

vorn_win_sudo() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

vorn_win_apt() {
  vorn_win_sudo env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=300 "$@"
}

vorn_win_install_packages() {
  local vorn_packages=("${vorn_win_packages[@]}")
  vorn_install_deps
}

# apt-get source needs a deb-src entry; added once, for this build only, on
# the archive the machine already installs its release from.
vorn_win_add_sources() {
  local list=/etc/apt/sources.list.d/vorn-deb-src.sources
  [ -f "$list" ] && return 0
  local codename archive
  codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
  archive=$(apt-get indextargets --format '$(REPO_URI) $(RELEASE)' 'Created-By: Packages' |
    awk -v release="$codename" '$2 == release { print $1; exit }')
  [ -n "$archive" ] || { echo "No archive for $codename in the apt sources" >&2; return 1; }
  vorn_win_sudo tee "$list" >/dev/null <<SOURCES
Types: deb-src
URIs: $archive
Suites: $codename
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
  vorn_win_apt update -qq
}

vorn_win_cmake_install() {
  local src=$1 build=$2; shift 2
  cmake -S "$src" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$vorn_win_toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$vorn_win_prefix" -DBUILD_SHARED_LIBS=OFF "$@" >/dev/null
  cmake --build "$build" -j "$(nproc)" >/dev/null
  cmake --install "$build" >/dev/null
}

# The Debian revision may differ (security fixes are published without
# sources here); the upstream version must be the one the Linux build uses.
vorn_win_build_pcre2() {
  [ -f "$vorn_win_prefix/lib/libpcre2-8.a" ] && return 0
  vorn_win_add_sources
  local upstream work=$vorn_win_cache/work
  upstream=$(dpkg-query -W -f='${Version}' libpcre2-dev | sed 's/-[^-]*$//')
  rm -rf "$work" && mkdir -p "$work"
  (cd "$work" && apt-get source -qq pcre2 >/dev/null 2>&1)
  local src=$work/pcre2-$upstream
  if [ ! -d "$src" ]; then
    echo "apt-get source pcre2 did not give version $upstream" >&2
    return 1
  fi
  vorn_win_cmake_install "$src" "$work/build-pcre2" -DPCRE2_SUPPORT_JIT=ON \
    -DPCRE2_BUILD_PCRE2GREP=OFF -DPCRE2_BUILD_TESTS=OFF
  rm -rf "$work"
}

vorn_win_build_gtest() {
  [ -f "$vorn_win_prefix/lib/libgtest.a" ] && return 0
  vorn_win_cmake_install /usr/src/googletest "$vorn_win_cache/build-gtest" -DBUILD_GMOCK=OFF
  rm -rf "$vorn_win_cache/build-gtest"
}

# Wine takes its ANSI code page from the Unix locale; the tests run as a
# Chinese server does (code page 936), and some also as Japanese (932) and
# Taiwanese (950) ones do, from locales compiled here.
vorn_win_build_locale() {
  local locale
  mkdir -p "$vorn_win_prefix/locale"
  for locale in zh_CN ja_JP zh_TW; do
    [ -d "$vorn_win_prefix/locale/$locale.UTF-8" ] && continue
    localedef -i "$locale" -f UTF-8 "$vorn_win_prefix/locale/$locale.UTF-8"
  done
}

# Sets vorn_win_prefix: where the target's libraries are installed.
vorn_win_install_deps() {
  vorn_win_install_packages
  local key
  key="pcre2-$(dpkg-query -W -f='${Version}' libpcre2-dev)-gtest-$(dpkg-query -W -f='${Version}' googletest)"
  vorn_win_prefix=$vorn_win_cache/$key
  mkdir -p "$vorn_win_cache"
  # Two builds at once share the cache: one builds, the other waits.
  exec {lock}>"$vorn_win_cache/.lock"
  flock "$lock"
  vorn_win_build_pcre2
  vorn_win_build_gtest
  vorn_win_build_locale
  flock -u "$lock"
}
