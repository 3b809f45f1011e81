#!/usr/bin/env bash
# Builds the tool and saves the screenshots of the main window and the module
# views (editor, address areas, fault dialog, IO test, the comparison with the
# bus and its report, the IO check-out and its report, the frame trace and the link counters,
# catalogue) on the
# virtual adapter under docs/screenshots (Xvfb at 1920x1080, CJK fonts), and
# the window in English under docs/screenshots/en.
#   tools/screenshots.sh [output-dir]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
tools/bootstrap.sh
tools/build.sh build
out=${1:-docs/screenshots}
xvfb-run -a -s "-screen 0 1920x1080x24" build/tools/screenshots/tarnbus-screenshots "$out" sim/buses/demo.json zh
xvfb-run -a -s "-screen 0 1920x1080x24" build/tools/screenshots/tarnbus-screenshots "$out/en" sim/buses/demo.json en
