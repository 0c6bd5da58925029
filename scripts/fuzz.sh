#!/usr/bin/env bash
# Builds the fuzz targets of the file readers with clang (AddressSanitizer
# and UndefinedBehaviorSanitizer) and runs each for a bounded time, starting
# from its committed seed corpus: the rich-text reader for SECONDS, the
# settings file and the password page file for half of it each, the
# recovery file, the HTML import, the CSV import and the vault file for a
# quarter each. A crash, a sanitizer report, a broken round trip or a
# reader that takes far more memory than an input of that size needs fails
# the run, names the target and leaves the input in build-fuzz/.
#   scripts/fuzz.sh [SECONDS]   (default 40)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-40}

cmake -S tests/fuzz -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build-fuzz

export QT_QPA_PLATFORM=offscreen
# Allocation stacks of two frames: deeper ones run through Qt and system
# libraries built without frame pointers, where the fast unwinder reads
# whatever lies on the stack, so nearly every input records new stacks and
# the sanitizer's stack store grows by a few hundred bytes per input without
# end (a 40-minute run reached 1 GB). Rerun an input with
# ASAN_OPTIONS=fast_unwind_on_malloc=0 for whole stacks.
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:malloc_context_size=2"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"

# Healthy targets peak at 150-300 MB here, most of it the sanitizer's
# quarantine of freed memory (256 MB), and allocate far less than 128 MB at
# once; a reader whose memory grows faster than its input, or that keeps
# memory from input to input, ends the run as out of memory.
rss_limit_mb=512
malloc_limit_mb=128

# fuzz TARGET CORPUS WHAT SECONDS MAX_LEN [LIBFUZZER_OPTION...]
fuzz() {
  local target=$1 corpus=tests/fuzz/corpus/$2 what=$3 time=$4 max_len=$5
  shift 5
  # New inputs go to a scratch folder; the seeds stay as committed.
  local found=build-fuzz/found/$target log=build-fuzz/$target.log
  rm -rf "$found"
  mkdir -p "$found"
  echo "Fuzzing the $what for $time s (log: $log)"
  if ! "build-fuzz/$target" "$found" "$corpus" \
      -max_total_time="$time" -timeout=10 -rss_limit_mb=$rss_limit_mb -malloc_limit_mb=$malloc_limit_mb -max_len="$max_len" \
      -artifact_prefix="build-fuzz/$target-" -print_final_stats=1 "$@" >"$log" 2>&1; then
    tail -n 80 "$log"
    echo "The $what's fuzz target $target failed; the input is in build-fuzz/$target-* (crash, leak, timeout or oom)."
    echo "Rerun it with: ASAN_OPTIONS=fast_unwind_on_malloc=0 build-fuzz/$target build-fuzz/$target-<name>"
    exit 1
  fi
  grep -E '^(#[0-9]+[[:space:]]+DONE|stat::number_of_executed_units|stat::peak_rss_mb)' "$log"
}

fuzz rtf_reader_fuzzer rtf "rich-text reader" "$seconds" 65536 -dict=tests/fuzz/rtf.dict
fuzz settings_file_fuzzer settings "settings file" $((seconds / 2)) 4096 -dict=tests/fuzz/settings.dict
# A little longer than one record, so that files too long are tried as well.
fuzz pass_page_fuzzer passpage "password page file" $((seconds / 2)) 12000
fuzz recovery_file_fuzzer recovery "recovery file" $((seconds / 4)) 4096
fuzz html_import_fuzzer html "HTML import" $((seconds / 4)) 65536 -dict=tests/fuzz/html.dict
fuzz csv_fuzzer csv "CSV import" $((seconds / 4)) 8192
fuzz kdbx_fuzzer kdbx "vault file" $((seconds / 4)) 16384
