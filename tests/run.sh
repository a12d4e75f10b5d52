#!/usr/bin/env bash
# Builds and runs the whole test suite twice: on the Release build, then on a
# build with AddressSanitizer and UndefinedBehaviorSanitizer that halts on the
# first report.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

cmake -S "$root" -B "$root/build/release" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON
cmake --build "$root/build/release" -j "$jobs"
ctest --test-dir "$root/build/release" -j "$jobs" --output-on-failure

cmake -S "$root" -B "$root/build/sanitize" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSANITIZE=ON -DBUILD_TESTING=ON
cmake --build "$root/build/sanitize" -j "$jobs"
ASAN_OPTIONS=halt_on_error=1:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  ctest --test-dir "$root/build/sanitize" -j "$jobs" --output-on-failure
