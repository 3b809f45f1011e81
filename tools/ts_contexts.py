#!/usr/bin/env python3
"""tools/ts_contexts.py: the two directions of the translations.

  ts_contexts.py keep-english FILE.ts   keeps only the contexts written in
                                        English (translations/english-contexts)
  ts_contexts.py fill-english FILE.ts   gives their unfinished entries the
                                        English they are written in

lupdate writes every text of the sources into a .ts; the Chinese one
(tarnbus_zh.ts) needs only the texts written in English, and in the English
one (tarnbus_en.ts) those translate to themselves.
"""
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
CONTEXT = re.compile(r'<context>\s*<name>(.*?)</name>.*?</context>\n?', re.S)
UNFINISHED = re.compile(r'(<source>([^<]*)</source>(?:\s*<(?:oldsource|comment|extracomment|translatorcomment)>[^<]*</\w+>)*\s*)'
                        r'<translation type="unfinished">[^<]*</translation>')


def english_contexts():
    text = (ROOT / 'translations' / 'english-contexts').read_text(encoding='utf-8')
    return {line.strip() for line in text.splitlines() if line.strip() and not line.startswith('#')}


def main():
    if len(sys.argv) != 3 or sys.argv[1] not in ('keep-english', 'fill-english'):
        sys.exit(__doc__)
    path = pathlib.Path(sys.argv[2])
    text = path.read_text(encoding='utf-8')
    english = english_contexts()
    if sys.argv[1] == 'keep-english':
        text = CONTEXT.sub(lambda m: m.group(0) if m.group(1) in english else '', text)
    else:
        text = CONTEXT.sub(lambda m: UNFINISHED.sub(r'\1<translation>\2</translation>', m.group(0))
                           if m.group(1) in english else m.group(0), text)
    path.write_text(text, encoding='utf-8')


if __name__ == '__main__':
    main()
