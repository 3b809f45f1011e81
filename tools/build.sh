#!/usr/bin/env bash
# tools/build.sh <build-dir> [cmake options...]: configures and builds.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$1; shift
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
# A compiler cache, where one is installed, makes rebuilds of other build
# folders and checkouts cheap.
command -v ccache >/dev/null && generator+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$dir" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
fi
cmake --build "$dir"
