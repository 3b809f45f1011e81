#!/usr/bin/env bash
# tools/update_translations.sh [ts-file]: brings the English translation up
# to date with the texts of both programs (sources and forms under src/).
# New texts arrive unfinished; texts gone from the code are dropped.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
ts=${1:-$root/translations/tarnbus_en.ts}
cd "$root"
lupdate -silent -locations none -no-obsolete -source-language zh_CN -target-language en \
    -extensions cpp,h,ui src -ts "$ts"
