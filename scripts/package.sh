#!/usr/bin/env bash
# Builds the Debian package: a Release build in build-package/ with Debian's
# hardening flags, then CPack's DEB generator (dependencies from dpkg-shlibdeps).
# The result: build-package/vapora_<version>_amd64.deb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
# dpkg-shlibdeps computes the dependencies; CPack finds the programs with file.
bash scripts/install-deps.sh dpkg-dev file

build=build-package
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CFLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
export CFLAGS CXXFLAGS LDFLAGS
# Only what the package holds is built (no benchmarks or developer tools).
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DVAPORA_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON
cmake --build "$build" -j"$(nproc)" --target vapora vapora-tool vapora-virtual-unit SerNoxDL install-data packaging-docs
rm -f "$build"/vapora_*.deb
(cd "$build" && cpack -G DEB)
ls -l "$build"/vapora_*.deb
