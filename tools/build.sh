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
# Line tables (-g1) keep backtraces readable at a third less compile time
# than full debug information; the package strips them anyway.
# The prefix of the Debian package (tools/package.sh packs the plain build);
# nothing compiled depends on it.
if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$dir" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG" -DCMAKE_INSTALL_PREFIX=/usr "$@"
fi
cmake --build "$dir"
