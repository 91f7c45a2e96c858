#!/usr/bin/env bash
# Builds the fuzz targets of fuzz/ with clang, libFuzzer and the address and
# undefined-behaviour sanitizers in build-fuzz/, then runs each on a copy of its
# seed corpus for SECONDS (default 60). Crashes, leaks, timeouts and broken
# invariants leave their input under build-fuzz/crashes/<target>/ and make the
# script fail. Usage: bash scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
top=$(pwd)
seconds=${1:-60}
shift || true
if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
  echo "fuzz.sh: SECONDS must be a positive whole number, not '$seconds'" >&2
  exit 2
fi

# The build's packages, clang and libFuzzer's runtime among them.
bash scripts/install-deps.sh

build=$top/build-fuzz
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
CC=clang CXX=clang++ cmake -S . -B "$build" -DVAPORA_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)" --target fuzzers

targets=("$@")
if [ "${#targets[@]}" -eq 0 ]; then
  for f in "$build"/fuzzers/fuzz_*; do targets+=("${f##*/fuzz_}"); done
fi

# The corpus is worked on in a copy: what the run finds stays out of the tree.
work=$build/work
rm -rf "$work"
mkdir -p "$work" "$build/crashes"
failed=()
for t in "${targets[@]}"; do
  exe=$build/fuzzers/fuzz_$t
  if [ ! -x "$exe" ]; then
    echo "fuzz.sh: no target '$t'" >&2
    exit 2
  fi
  mkdir -p "$work/$t" "$build/crashes/$t"
  [ -d "fuzz/corpus/$t" ] && cp -r "fuzz/corpus/$t/." "$work/$t/"
  dict=()
  [ -f "fuzz/$t.dict" ] && dict=(-dict="fuzz/$t.dict")
  echo "== $t: $seconds s"
  set +e
  # -error_exitcode and -timeout_exitcode make any finding a failure; a leak
  # is reported through the same exit code.
  ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$exe" "$work/$t" "${dict[@]}" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -error_exitcode=77 -timeout_exitcode=78 -print_final_stats=1 \
      -artifact_prefix="$build/crashes/$t/" > "$work/$t.log" 2>&1 &
  pid=$!
  wait "$pid"
  rc=$?
  set -e
  # The target's work folder in memory; it removes it itself unless it crashed.
  rm -rf "/dev/shm/vapora-fuzz-$pid"
  grep -E '^#[0-9]+ +DONE|stat::number_of_executed_units|stat::average_exec_per_sec' "$work/$t.log" | sed "s/^/   /" || true
  if [ "$rc" -ne 0 ] || grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer|UndefinedBehaviorSanitizer|libFuzzer)|runtime error:|broken invariant' "$work/$t.log"; then
    echo "!! $t failed (exit $rc); its log: $work/$t.log; inputs: $build/crashes/$t/" >&2
    grep -E 'ERROR:|runtime error:|broken invariant|SUMMARY' "$work/$t.log" | head -5 >&2 || true
    failed+=("$t")
  fi
done
# Crashes of earlier runs stay; a folder with nothing found goes.
find "$build/crashes" -mindepth 1 -type d -empty -delete
if [ "${#failed[@]}" -gt 0 ]; then
  echo "fuzz.sh: findings in ${failed[*]}" >&2
  exit 1
fi
echo "fuzz.sh: ${#targets[@]} targets, no findings"
