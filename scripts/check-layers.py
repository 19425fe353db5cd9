#!/usr/bin/env python3
"""Fails when a file includes a header of a higher layer, or a library links one above it.

Layers point one way: platform -> foundation -> imaging -> ui -> shell -> app; inet sits on the
foundation and may use the shell's file removal. An include is resolved as the compiler finds it
(beside the including file for quotes, then the root, platform/ and resources/), so a bare platform
header name and a "../" path count for the layer they land in.
"""
import pathlib
import re
import sys

ORDER = ['platform', 'foundation', 'imaging', 'ui', 'shell', 'app']
ALLOWED = {layer: set(ORDER[:i + 1]) for i, layer in enumerate(ORDER)}
ALLOWED['inet'] = {'platform', 'foundation', 'inet'}
# The one higher header inet may take: the shell's file removal.
EXCEPTIONS = {('inet', 'shell/FileUtilities.h')}
LINKS = dict(ALLOWED, inet=ALLOWED['inet'] | {'shell'})

# The tree to read: the repository, or a folder given on the command line (the checker's own test).
root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parent.parent).resolve()
search = [root, root / 'platform', root / 'resources']


def layer_of(path):
    """The layer a resolved file lies in, or None outside the layers."""
    try:
        first = path.relative_to(root).parts[0]
    except ValueError:
        return None
    return first if first in ALLOWED else None


def resolve(source, included, quoted):
    for folder in ([source.parent] if quoted else []) + search:
        candidate = (folder / included).resolve()
        if candidate.is_file():
            return candidate
    return None


def include_problems():
    problems, count = [], 0
    for layer, allowed in ALLOWED.items():
        for source in sorted((root / layer).rglob('*')):
            if source.suffix not in ('.h', '.cpp'):
                continue
            text = source.read_text(encoding='utf-8')
            for opening, included in re.findall(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', text, re.M):
                count += 1
                target_path = resolve(source, included, opening == '"')
                target = layer_of(target_path) if target_path else None
                if target is None or target in allowed:
                    continue
                if (layer, target_path.relative_to(root).as_posix()) in EXCEPTIONS:
                    continue
                problems.append(f'{source.relative_to(root)}: {layer} includes {included} ({target})')
    return problems, count


def link_problems():
    """Each library's DEPENDS and fh_ links in the top CMakeLists.txt point down only."""
    problems = []
    text = (root / 'CMakeLists.txt').read_text(encoding='utf-8')
    links = [(name, deps.split()) for name, deps in re.findall(r'^\s*fh_library\((\w+)\s+DEPENDS([^)]*)\)', text, re.M)]
    for name, deps in re.findall(r'^\s*target_link_libraries\(fh_(\w+)\s+([^)]*)\)', text, re.M):
        links.append((name, [d[3:] for d in deps.split() if d.startswith('fh_')]))
    for name, deps in links:
        for dep in deps:
            if name not in LINKS or dep == name or dep not in LINKS[name]:
                problems.append(f'CMakeLists.txt: fh_{name} links fh_{dep}')
    return problems


if __name__ == '__main__':
    problems, count = include_problems()
    problems += link_problems()
    for p in problems:
        print(p, file=sys.stderr)
    print(f'{count} includes read, {len(problems)} against the layer order')
    sys.exit(1 if problems else 0)
