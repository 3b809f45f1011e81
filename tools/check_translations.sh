#!/usr/bin/env bash
# tools/check_translations.sh: the English translation is complete. Runs
# lupdate over both programs into a copy of translations/tarnbus_en.ts and
# fails when a text of the sources or forms is missing from the .ts, when
# the .ts holds a text the sources no longer have, or when an entry has no
# finished translation. tools/update_translations.sh brings the .ts up to
# date; the new entries then need their English.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
ts=$root/translations/tarnbus_en.ts
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$ts" "$work/tarnbus_en.ts"
# Without -no-obsolete, texts gone from the sources stay as vanished entries.
cd "$root"
lupdate -silent -locations none -source-language zh_CN -target-language en \
    -extensions cpp,h,ui src -ts "$work/tarnbus_en.ts"
status=0
unfinished=$(grep -c 'type="unfinished"' "$work/tarnbus_en.ts" || true)
vanished=$(grep -c -E 'type="(vanished|obsolete)"' "$work/tarnbus_en.ts" || true)
if [ "$unfinished" -ne 0 ]; then
    echo "$unfinished texts have no English translation:"
    grep -B2 'type="unfinished"' "$work/tarnbus_en.ts" | grep '<source>' | sed 's/^ */  /'
    status=1
fi
if [ "$vanished" -ne 0 ]; then
    echo "$vanished entries of the .ts are no longer in the sources:"
    grep -B2 -E 'type="(vanished|obsolete)"' "$work/tarnbus_en.ts" | grep '<source>' | sed 's/^ */  /'
    status=1
fi
if [ $status -eq 0 ] && ! cmp -s "$ts" "$work/tarnbus_en.ts"; then
    echo "translations/tarnbus_en.ts is not what lupdate makes of the sources:"
    diff -u "$ts" "$work/tarnbus_en.ts" | head -40
    status=1
fi
[ $status -eq 0 ] && echo "translations/tarnbus_en.ts: $(grep -c '<message' "$ts") texts, all translated"
[ $status -eq 0 ] || echo "run tools/update_translations.sh and translate the new entries"
exit $status
