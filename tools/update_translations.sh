#!/usr/bin/env bash
# tools/update_translations.sh: brings both translations up to date with the
# texts of both programs (sources and forms under src/). New texts arrive
# unfinished; texts gone from the code are dropped.
#  - translations/tarnbus_en.ts: every text. Those written in Chinese need
#    their English; those of the contexts written in English
#    (translations/english-contexts, the command line's) get themselves.
#  - translations/tarnbus_zh.ts: the texts written in English only; they
#    need their Chinese.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
en=$root/translations/tarnbus_en.ts
zh=$root/translations/tarnbus_zh.ts
cd "$root"
lupdate -silent -locations none -no-obsolete -source-language zh_CN -target-language en \
    -extensions cpp,h,ui src -ts "$en"
python3 tools/ts_contexts.py fill-english "$en"
if [ ! -f "$zh" ]; then
    printf '<?xml version="1.0" encoding="utf-8"?>\n<!DOCTYPE TS>\n<TS version="2.1" language="zh_CN" sourcelanguage="en">\n</TS>\n' >"$zh"
fi
# lupdate files every text of the sources; only those written in English stay.
lupdate -silent -locations none -no-obsolete -source-language en -target-language zh_CN \
    -extensions cpp,h,ui src -ts "$zh"
python3 tools/ts_contexts.py keep-english "$zh"
