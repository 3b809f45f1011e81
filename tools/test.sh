#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test in that build: the
# sanitizers report what a plain run would miss, and the suite is compiled
# once. `tools/test.sh --plain` runs it in the plain, optimised build instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
tools/bootstrap.sh

# The suites are independent (each runs with a home of its own and starts
# its own virtual adapters): they run side by side, one per processor.
jobs=$(nproc)
if [ "${1:-}" = --plain ]; then
    tools/build.sh build
    ctest --test-dir build --output-on-failure -j"$jobs"
    exit
fi

tools/build.sh build-asan -DTARNBUS_SANITIZE=ON -DTARNBUS_BUILD_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
LSAN_OPTIONS=suppressions=$root/tools/lsan.supp:print_suppressions=0 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-asan --output-on-failure -j"$jobs"
