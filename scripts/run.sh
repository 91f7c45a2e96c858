#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it in its generated
# main folder (build/vapora-home) on the simulated unit.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVAPORA_TESTS=OFF
cmake --build build -j"$(nproc)"
cd build/vapora-home
exec ../bin/vapora "$@"
