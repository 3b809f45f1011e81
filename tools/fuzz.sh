#!/usr/bin/env bash
# tools/fuzz.sh [seconds] [target...]: builds the fuzz targets with clang's
# libFuzzer (in build-fuzz) and runs each for the given time (default 60 s),
# starting from its seed inputs. Inputs the fuzzer learnt are kept in
# build-fuzz/fuzz/corpus/<target>; a crash, hang, leak or sanitizer finding is
# written to build-fuzz/fuzz/findings/ and makes the script fail.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
seconds=${1:-60}
shift || true
tools/bootstrap.sh
tools/bootstrap.sh tools/fuzz-packages.txt

dir=build-fuzz
CC=clang CXX=clang++ tools/build.sh "$dir" -DTARNBUS_FUZZ=ON -DTARNBUS_BUILD_TESTS=OFF -DTARNBUS_BUILD_BENCH=OFF

mkdir -p "$dir/fuzz/findings"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:allocator_may_return_null=1
export LSAN_OPTIONS=suppressions=$root/tools/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen

failed=()
summary=()
while IFS=$'\t' read -r name flags seeds; do
    [ -n "$name" ] || continue
    if [ $# -gt 0 ] && [[ " $* " != *" $name "* ]]; then
        continue
    fi
    corpus="$dir/fuzz/corpus/$name"
    mkdir -p "$corpus"
    read -r -a targetFlags <<< "$flags"
    args=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
          -artifact_prefix="$dir/fuzz/findings/$name-" "${targetFlags[@]}")
    IFS=';' read -r -a seedDirs <<< "$seeds"
    log="$dir/fuzz/$name.log"
    echo "== $name: $seconds s"
    if "$dir/fuzz/$name" "${args[@]}" "$corpus" "${seedDirs[@]}" > "$log" 2>&1; then
        result=ok
    else
        result=FINDING
        failed+=("$name")
        tail -n 40 "$log"
    fi
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo "?")
    summary+=("$(printf '%-28s %8s inputs  corpus %5s  %s' "$name" "$runs" "$(ls "$corpus" | wc -l)" "$result")")
done < "$dir/fuzz/targets.txt"

printf '%s\n' "${summary[@]}"
if [ ${#failed[@]} -gt 0 ]; then
    echo "findings in: ${failed[*]} (see $dir/fuzz/findings)" >&2
    exit 1
fi
