#!/usr/bin/env bash
# Builds the RTF reader's fuzz target with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs it for a bounded time, starting from
# the committed seed corpus. A crash, a sanitizer report or a broken round
# trip fails the run and leaves the input in build-fuzz/.
#   scripts/fuzz.sh [SECONDS]   (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

cmake -S tests/fuzz -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build-fuzz

# New inputs go to a scratch folder; the seeds stay as committed.
found=build-fuzz/found
rm -rf "$found"
mkdir -p "$found"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
log=build-fuzz/fuzz.log
echo "Fuzzing the RTF reader for $seconds s (log: $log)"
if ! build-fuzz/rtf_reader_fuzzer "$found" tests/fuzz/corpus \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
    -dict=tests/fuzz/rtf.dict -artifact_prefix=build-fuzz/ -print_final_stats=1 >"$log" 2>&1; then
  tail -n 80 "$log"
  echo "The RTF reader's fuzz target failed; the input is in build-fuzz/ (crash-*, leak-*, timeout-*)"
  exit 1
fi
grep -E '^(#[0-9]+[[:space:]]+DONE|stat::number_of_executed_units)' "$log"
