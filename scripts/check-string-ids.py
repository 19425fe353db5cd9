#!/usr/bin/env python3
"""Compares the string table with the id headers.

Fails when one string id is defined twice (windres keeps both silently), when a table entry has no
name in the headers, or when a named message id (IDS_) has no text: every id needs its Japanese
text, and library messages (57345 and up) their English text as well.
"""
import pathlib
import re
import sys

LIBRARY_FIRST = 57345

root = pathlib.Path(__file__).resolve().parent.parent / 'resources'
headers = sorted((root / 'ids').glob('*.h')) + [root / 'resource.h']
values = {}
for header in headers:
    for name, value in re.findall(r'^#define\s+(\w+)\s+(\d+)\b', header.read_text(encoding='utf-8'), re.M):
        values[name] = int(value)
for header in headers:
    for name, alias in re.findall(r'^#define\s+(\w+)\s+([A-Z_]\w*)\b', header.read_text(encoding='utf-8'), re.M):
        if alias in values:
            values[name] = values[alias]

problems = []
texts = {}  # (language, id) -> where
for rc in sorted((root / 'strings').glob('*.rc')):
    language = None
    for line in rc.read_text(encoding='utf-8').splitlines():
        m = re.match(r'\s*LANGUAGE\s+(\w+)', line)
        if m:
            language = m.group(1)
        m = re.match(r'\s+(\w+)\s+"', line)
        if not m:
            continue
        key = m.group(1)
        if key.isdigit():
            problems.append(f'{rc.name}: string {key} has no name in the id headers')
            continue
        sid = values.get(key)
        if sid is None:
            problems.append(f'{rc.name}: unknown id {key}')
            continue
        texts.setdefault((language, sid), []).append(f'{rc.name}:{key}')

for (language, sid), where in sorted(texts.items()):
    if len(where) > 1:
        problems.append(f'string id {sid} ({language}) defined more than once: {", ".join(where)}')

for name, sid in sorted(values.items(), key=lambda item: item[1]):
    if not name.startswith('IDS_'):
        continue
    needed = ['LANG_JAPANESE'] + (['LANG_ENGLISH'] if sid >= LIBRARY_FIRST else [])
    for language in needed:
        if (language, sid) not in texts:
            problems.append(f'{name} ({sid}) has no text in {language}')

for p in problems:
    print(p, file=sys.stderr)
sys.exit(1 if problems else 0)
