#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the program need, or
# the packages named on the command line; only what is missing is installed.
set -euo pipefail
pkgs=(cmake g++ make pkg-config libgtest-dev libgmock-dev libbenchmark-dev
      qt6-base-dev qt6-charts-dev qt6-serialport-dev libqt6opengl6-dev libgl-dev
      libshp-dev xvfb xauth imagemagick fonts-dejavu-core qt6-translations-l10n
      clang libclang-rt-14-dev)  # the fuzz build: clang and libFuzzer's runtime
[ "$#" -gt 0 ] && pkgs=("$@")
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get -o DPkg::Lock::Timeout=600 update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}"
fi
