#!/usr/bin/env bash
# Builds and opens the upgrade dialog on virtual adapters (sim/buses/upgrade.json:
# one to upgrade, one with a newer application, one left in its boot loader,
# one that refuses its first upgrade), with an upgrade file written by
# tools/make_upgrade_file.py in build/try-upgrade/. Pick that file with "...",
# press "搜索" and upgrade.
#   tools/try_upgrade.sh [--bus FILE] [--version "TBC 2.2.0"] [--size BYTES]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bus="$root/sim/buses/upgrade.json"
version="TBC 2.2.0"
size=200000
while [ $# -gt 0 ]; do
    case "$1" in
        --bus) bus=$(realpath "$2"); shift ;;
        --version) version=$2; shift ;;
        --size) size=$2; shift ;;
        *) echo "usage: $0 [--bus FILE] [--version TEXT] [--size BYTES]" >&2; exit 2 ;;
    esac
    shift
done
tools/bootstrap.sh
tools/build.sh build
work="$root/build/try-upgrade"
mkdir -p "$work"
python3 tools/make_upgrade_file.py --body-size "$size" --version "$version" "$work/firmware.dec"
cd "$work" # the dialog's file chooser starts here the first time
TARNBUS_SIM_BUS="$bus" LD_PRELOAD="$root/build/sim/libtarnbus_sim_preload.so" exec "$root/build/src/upgrade/tarnbus-upgrade"
