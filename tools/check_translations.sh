#!/usr/bin/env bash
# tools/check_translations.sh: both translations are complete. Runs lupdate
# over both programs into copies of translations/tarnbus_en.ts and
# translations/tarnbus_zh.ts and fails when a text of the sources or forms is
# missing from a .ts, when a .ts holds a text the sources no longer have, or
# when an entry has no finished translation: a text written in Chinese without
# its English, or a text of the command line (written in English, the
# contexts of translations/english-contexts) without its Chinese.
# tools/update_translations.sh brings both up to date; the new entries then
# need their translation.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$root"
status=0

# check TS SOURCE-LANGUAGE TARGET-LANGUAGE WHAT [FILTER]
check() {
    local ts=$1 copy=$work/$(basename "$1")
    cp "$ts" "$copy"
    # Without -no-obsolete, texts gone from the sources stay as vanished entries.
    lupdate -silent -locations none -source-language "$2" -target-language "$3" \
        -extensions cpp,h,ui src -ts "$copy"
    [ -z "${5:-}" ] || python3 tools/ts_contexts.py "$5" "$copy"
    local unfinished vanished ok=0
    unfinished=$(grep -c 'type="unfinished"' "$copy" || true)
    vanished=$(grep -c -E 'type="(vanished|obsolete)"' "$copy" || true)
    if [ "$unfinished" -ne 0 ]; then
        echo "$unfinished texts have no $4 translation in ${ts#$root/}:"
        grep -B2 'type="unfinished"' "$copy" | grep '<source>' | sed 's/^ */  /'
        ok=1
    fi
    if [ "$vanished" -ne 0 ]; then
        echo "$vanished entries of ${ts#$root/} are no longer in the sources:"
        grep -B2 -E 'type="(vanished|obsolete)"' "$copy" | grep '<source>' | sed 's/^ */  /'
        ok=1
    fi
    if [ $ok -eq 0 ] && ! cmp -s "$ts" "$copy"; then
        echo "${ts#$root/} is not what lupdate makes of the sources:"
        diff -u "$ts" "$copy" | head -40
        ok=1
    fi
    [ $ok -eq 0 ] && echo "${ts#$root/}: $(grep -c '<message' "$ts") texts, all translated"
    [ $ok -eq 0 ] || status=1
}

check translations/tarnbus_en.ts zh_CN en English
check translations/tarnbus_zh.ts en zh_CN Chinese keep-english
[ $status -eq 0 ] || echo "run tools/update_translations.sh and translate the new entries"
exit $status
