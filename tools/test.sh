#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once in a plain
# build and once built with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
tools/bootstrap.sh

# The suites are independent (each runs with a home of its own and starts
# its own virtual adapters): they run side by side, one per processor.
jobs=$(nproc)
tools/build.sh build
ctest --test-dir build --output-on-failure -j"$jobs"

tools/build.sh build-asan -DTARNBUS_SANITIZE=ON -DTARNBUS_BUILD_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
LSAN_OPTIONS=suppressions=$root/tools/lsan.supp:print_suppressions=0 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-asan --output-on-failure -j"$jobs"
