#!/usr/bin/env bash
# Rewrites the seed corpora fuzz/corpus/<target>/ from the shipped files and the
# program's own writers. Needs the fuzz build (bash scripts/fuzz.sh makes it).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build-fuzz --target vapora-fuzz-corpus
rm -rf fuzz/corpus
ASAN_OPTIONS=detect_leaks=0 build-fuzz/bin/vapora-fuzz-corpus . fuzz/corpus
du -sh fuzz/corpus
