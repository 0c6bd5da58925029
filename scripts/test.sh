#!/usr/bin/env bash
# Sets up, builds with AddressSanitizer and UndefinedBehaviorSanitizer and
# warnings as errors, and runs the whole test suite headless through CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh
ensure_packages scripts/packages-build.txt scripts/packages-test.txt
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKLADDO_SANITIZE=ON -DKLADDO_WERROR=ON
cmake --build build-test

# The fuzz targets of the file readers, bounded runs (40 s for rich text,
# 20 s each for the settings and the password pages, 10 s each for the
# recovery file and the HTML and CSV imports), each under memory limits; a
# crash or an out-of-memory fails the suite.
bash scripts/fuzz.sh 40

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:abort_on_error=0:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
ctest --test-dir build-test --output-on-failure -j2
