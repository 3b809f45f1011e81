#!/usr/bin/env bash
# tools/render_icons.sh [build-dir]: renders resources/image/*.png and
# resources/resources.qrc from the SVG sources listed in resources/icons/icons.list,
# the package's 48-pixel desktop icon from resources/icons/app.svg, and draws the
# contact sheet docs/screenshots/icons.png. Commit what it writes: the build uses
# the rendered files and never renders them itself.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$root/build}
if [ ! -f "$dir/CMakeCache.txt" ]; then
    "$root/tools/build.sh" "$dir"
fi
cmake --build "$dir" --target render_icons
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
"$dir/resources/render_icons" render "$root/resources"
"$dir/resources/render_icons" png "$root/resources/icons/app.svg" 48 "$root/packaging/icons/org.tarnbus.tester-48.png"
"$dir/resources/render_icons" sheet "$root/resources" "$root/docs/screenshots/icons.png"
