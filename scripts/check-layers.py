#!/usr/bin/env python3
"""Fails when a file includes a header of a higher layer.

Layers point one way: platform -> foundation -> imaging -> ui -> shell -> app; inet sits on the
foundation and may use the shell's file removal. Platform headers are included by their bare name.
"""
import pathlib
import re
import sys

ORDER = ['platform', 'foundation', 'imaging', 'ui', 'shell', 'app']
ALLOWED = {layer: set(ORDER[:i + 1]) for i, layer in enumerate(ORDER)}
ALLOWED['inet'] = {'platform', 'foundation', 'inet', 'shell'}

root = pathlib.Path(__file__).resolve().parent.parent
platform_headers = {p.name for p in (root / 'platform').glob('*.h')}

problems = []
count = 0
for layer, allowed in ALLOWED.items():
    for source in sorted((root / layer).rglob('*')):
        if source.suffix not in ('.h', '.cpp'):
            continue
        for included in re.findall(r'^\s*#\s*include\s*[<"]([^>"]+)[>"]', source.read_text(encoding='utf-8'), re.M):
            count += 1
            if included in platform_headers:
                target = 'platform'
            elif '/' in included and included.split('/')[0] in ALLOWED:
                target = included.split('/')[0]
            else:
                continue
            if target not in allowed:
                problems.append(f'{source.relative_to(root)}: {layer} includes {included} ({target})')

for p in problems:
    print(p, file=sys.stderr)
print(f'{count} includes read, {len(problems)} against the layer order')
sys.exit(1 if problems else 0)
