#!/usr/bin/env bash
# Cross-builds the parts without Qt for Windows (MinGW-w64) and runs their tests
# under Wine, headless: the model, the link library SerNoxDL.dll with the
# simulated unit, vapora-tool.exe and their test programs.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$(date +%s)

bash scripts/install-deps.sh cmake make g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64 googletest

build=build-windows
mkdir -p "$build"
# Wine keeps its Windows side in the build folder and prints nothing of its own;
# no display is used.
export WINEPREFIX="$PWD/$build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
# One Wine server for the whole run instead of one per program start. It is ended
# however the script ends: its Windows services would otherwise keep this script's
# output open after it has finished.
/usr/lib/wine/wineserver -k 2>/dev/null || true
trap '/usr/lib/wine/wineserver -k 2>/dev/null || true' EXIT
/usr/lib/wine/wineserver -p </dev/null >/dev/null 2>&1 || true
# Brings the prefix and its services up before any test program starts.
"$wine" wineboot --init </dev/null >/dev/null 2>&1 || true

cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Debug \
  -DVAPORA_QT=OFF -DVAPORA_TESTS=ON -DVAPORA_GTEST_SOURCE_DIR=/usr/src/googletest \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$wine"
# The build runs each test program under Wine to list its tests; an emulator that
# stumbles once on start is given a second try.
cmake --build "$build" -j"$(nproc)" || cmake --build "$build" -j"$(nproc)"

# Only the two entry points leave the library, under exactly these names.
exports=$(x86_64-w64-mingw32-objdump -p "$build/bin/SerNoxDL.dll" |
  sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/s/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*\([^[:space:]]*\)$/\1/p' |
  sort | tr '\n' ' ')
echo "SerNoxDL.dll exports: $exports"
if [ "$exports" != "_CreateClassInstance _DestroyClassInstance " ]; then
  echo "SerNoxDL.dll must export exactly _CreateClassInstance and _DestroyClassInstance" >&2
  exit 1
fi

echo "Windows build ready after $(( $(date +%s) - started )) s; tests under Wine:"
# A test that fails only because Wine stumbled passes on a second run; a real failure
# fails every time.
cd "$build" && ctest --output-on-failure -j"$(nproc)" --repeat until-pass:2
