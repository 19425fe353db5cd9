#!/usr/bin/env python3
"""Fails when one string id is defined twice in the resources (windres keeps both silently)."""
import pathlib
import re
import sys

root = pathlib.Path(__file__).resolve().parent.parent / 'resources'
values = {}
for header in sorted((root / 'ids').glob('*.h')) + [root / 'resource.h']:
    for name, value in re.findall(r'^#define\s+(\w+)\s+(\d+)\b', header.read_text(encoding='utf-8'), re.M):
        values[name] = int(value)
for header in sorted((root / 'ids').glob('*.h')):
    for name, alias in re.findall(r'^#define\s+(\w+)\s+([A-Z_]\w*)\b', header.read_text(encoding='utf-8'), re.M):
        if alias in values:
            values[name] = values[alias]

problems = []
for rc in sorted(list((root / 'strings').glob('*.rc'))):
    language, seen = None, {}
    for line in rc.read_text(encoding='utf-8').splitlines():
        m = re.match(r'\s*LANGUAGE\s+(\w+)', line)
        if m:
            language = m.group(1)
        m = re.match(r'\s+(\w+)\s+"', line)
        if m:
            key = m.group(1)
            sid = int(key) if key.isdigit() else values.get(key)
            if sid is None:
                problems.append(f'{rc.name}: unknown id {key}')
                continue
            values.setdefault(('seen', language, sid), []).append(f'{rc.name}:{key}')
for key, where in values.items():
    if isinstance(key, tuple) and len(where) > 1:
        problems.append(f'string id {key[2]} ({key[1]}) defined more than once: {", ".join(where)}')
for p in problems:
    print(p, file=sys.stderr)
sys.exit(1 if problems else 0)
