#!/usr/bin/env bash
# tools/package.sh [build-dir]: builds the Debian package of the tool and
# prints its path. It reuses the plain build of tools/run.sh and
# tools/test.sh (build/), which is configured for the prefix /usr: from a
# clean checkout it builds that first, after that only CPack runs.
# tools/check_package.sh checks the package as CI does.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
dir=${1:-build}
tools/bootstrap.sh
tools/build.sh "$dir"

# A build tree configured before the packaging knew better: the prefix of
# the package, and the manual pages. Nothing compiled depends on either.
cached() { sed -n "s/^$1:[A-Z]*=//p" "$dir/CMakeCache.txt"; }
if [ "$(cached CMAKE_INSTALL_PREFIX)" != /usr ] || [ "$(cached TARNBUS_MANUALS)" != ON ]; then
    cmake "$dir" -DCMAKE_INSTALL_PREFIX=/usr -DTARNBUS_MANUALS=ON >/dev/null
    cmake --build "$dir"
fi
for page in tarnbus-cli tarnbus-tester; do
    [ -f "$dir/packaging/$page.1.gz" ] || { echo "tools/package.sh: no manual page $page.1.gz (help2man?)" >&2; exit 1; }
done

rm -f "$dir"/tarnbus-tester_*.deb
(cd "$dir" && umask 022 && cpack -G DEB >/dev/null)
ls "$root/$dir"/tarnbus-tester_*.deb
