#!/usr/bin/env python3
"""Runs check-layers.py on small trees: each breach must fail it, each sound tree must pass."""
import pathlib
import subprocess
import sys
import tempfile

CHECKER = pathlib.Path(__file__).resolve().parent / 'check-layers.py'
SOUND_LINKS = '\n'.join([
    'fh_library(platform   DEPENDS)', 'fh_library(foundation DEPENDS platform)',
    'fh_library(ui         DEPENDS imaging foundation)', 'fh_library(shell      DEPENDS ui foundation)',
    'fh_library(inet       DEPENDS shell foundation)', 'target_link_libraries(fh_inet PUBLIC synchronization)',
    'fh_library(app        DEPENDS shell ui)', ''])
BASE = {
    'platform/WindowImpl.h': '#pragma once\n',
    'foundation/LastError.h': '#pragma once\n#include <windows.h>\n#include "WindowImpl.h"\n',
    'ui/Msg.h': '#pragma once\n#include "foundation/LastError.h"\n',
    'shell/FileUtilities.h': '#pragma once\n#include "ui/Msg.h"\n',
    'shell/ShellLink.h': '#pragma once\n',
    'app/MainFrame.cpp': '#include "shell/ShellLink.h"\n#include "../ui/Msg.h"\n',
    'inet/AutoDeleteFile.cpp': '#include "shell/FileUtilities.h"\n#include "foundation/LastError.h"\n',
    'CMakeLists.txt': SOUND_LINKS,
}
CASES = [
    ('sound tree', {}, True),
    ('a lower layer names a higher one', {'ui/Msg.cpp': '#include "shell/ShellLink.h"\n'}, False),
    ('a path that climbs out of its folder', {'foundation/Paths.cpp': '#include "../ui/Msg.h"\n'}, False),
    ('a test of a lower layer', {'ui/tests/MsgTest.cpp': '#include <app/MainFrame.cpp>\n'}, False),
    ('platform takes the foundation', {'platform/ComPtr.h': '#include "foundation/LastError.h"\n'}, False),
    ('inet takes more of the shell than file removal', {'inet/Link.cpp': '#include "shell/ShellLink.h"\n'}, False),
    ('inet takes the user interface', {'inet/Prompt.cpp': '#include "ui/Msg.h"\n'}, False),
    ('a header beside the file wins over a higher one of that name',
     {'foundation/Msg.h': '#pragma once\n', 'foundation/Use.cpp': '#include "Msg.h"\n'}, True),
    ('a two-way link', {'CMakeLists.txt': SOUND_LINKS + 'target_link_libraries(fh_ui PUBLIC fh_shell)\n'}, False),
    ('a library that links upwards',
     {'CMakeLists.txt': SOUND_LINKS.replace('foundation DEPENDS platform', 'foundation DEPENDS platform imaging')},
     False),
]

failures = 0
for what, files, sound in CASES:
    with tempfile.TemporaryDirectory() as folder:
        for name, text in {**BASE, **files}.items():
            path = pathlib.Path(folder, name)
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_text(text, encoding='utf-8')
        run = subprocess.run([sys.executable, str(CHECKER), folder], capture_output=True, text=True)
    if (run.returncode == 0) != sound:
        failures += 1
        print(f'FAILED {what}: exit {run.returncode}\n{run.stderr}', file=sys.stderr)
    else:
        print(f'ok {what}')
sys.exit(1 if failures else 0)
