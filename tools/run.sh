#!/usr/bin/env bash
# Installs what is missing, builds and starts the tester.
#   tools/run.sh              on the virtual adapter with the demonstration bus
#   tools/run.sh --bus FILE   on the virtual adapter with another bus file
#   tools/run.sh --hardware   on the adapters really attached to USB
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bus="$root/sim/buses/demo.json"
hardware=0
while [ $# -gt 0 ]; do
    case "$1" in
        --hardware) hardware=1 ;;
        --bus) bus=$(realpath "$2"); shift ;;
        *) echo "usage: $0 [--hardware | --bus FILE]" >&2; exit 2 ;;
    esac
    shift
done
tools/bootstrap.sh
tools/build.sh build
if [ "$hardware" -eq 1 ]; then
    exec build/src/app/tarnbus-tester
fi
exec build/src/app/tarnbus-tester --demo "$bus"
