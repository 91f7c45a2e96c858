#!/usr/bin/env bash
# Makes the guide's pictures again from the windows as they are now: builds the
# program's picture maker, runs every window on the simulated unit at 1024x768
# in each language of the dictionary, writes docs/guide/<language>/img/*.png and
# shrinks them. Names given on the command line make only those pictures.
#   bash scripts/guide-shots.sh                 # every picture
#   bash scripts/guide-shots.sh main mappa-gas  # two of them
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/install-deps.sh pngquant
build=${VAPORA_SHOTS_BUILD:-build}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVAPORA_TESTS=OFF
fi
cmake --build "$build" -j"$(nproc)" --target guide_shots install-data
# Without a display of its own: the picture maker chooses its 1024x768 offscreen screen.
unset QT_QPA_PLATFORM
export ASAN_OPTIONS=detect_leaks=0
out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$build/bin/guide_shots" docs/guide "$build/vapora-home" "$@" | tee "$out"
# 256 colours are plenty for window pictures; a file pngquant cannot shrink stays as it is.
while read -r picture; do
  pngquant --force --skip-if-larger --strip --speed 1 --quality 70-95 --output "$picture" -- "$picture" || true
done < "$out"
du -ch docs/guide/*/img/*.png | tail -n 1
