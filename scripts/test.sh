#!/usr/bin/env bash
# Installs what is missing, builds the sanitized test build and runs the whole suite headless;
# then builds the parts without Qt for Windows and runs their tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
build=build-tests
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DVAPORA_TESTS=ON -DVAPORA_SANITIZE=ON
cmake --build "$build" -j"$(nproc)"
(
  export QT_QPA_PLATFORM=offscreen
  export ASAN_OPTIONS=detect_leaks=0
  cd "$build" && ctest --output-on-failure -j"$(nproc)"
)
bash scripts/test-windows.sh
