#!/usr/bin/env bash
# Installs the Debian packages the build needs, only when some are missing.
# Sourced by test.sh, run.sh and fuzz/run.sh.
vorn_packages=(cmake g++ libgtest-dev pkg-config libpcre2-dev qt6-base-dev fonts-wqy-microhei)

vorn_install_deps() {
  local missing=()
  for p in "${vorn_packages[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get -o DPkg::Lock::Timeout=300 update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=300 \
    install -y --no-install-recommends "${missing[@]}"
}

# The fuzz targets build with clang and its libFuzzer and sanitizer runtimes;
# llvm's symbolizer puts file and line into a fault's report. The other builds
# need none of them.
vorn_fuzz_packages=(clang libclang-rt-14-dev llvm)

vorn_install_fuzz_deps() {
  local vorn_packages=("${vorn_fuzz_packages[@]}")
  vorn_install_deps
}

# The silent run's metrics file is read in its test by a real node_exporter,
# scraped with curl.
vorn_metrics_packages=(prometheus-node-exporter curl)

vorn_install_metrics_deps() {
  local vorn_packages=("${vorn_metrics_packages[@]}")
  vorn_install_deps
}
