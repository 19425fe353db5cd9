#!/usr/bin/env bash
# Fails when a C++ file of the repository differs from what clang-format makes of it (.clang-format).
# Lists the files; `scripts/check-format.sh --fix` rewrites them in place instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
command -v clang-format >/dev/null || { echo "clang-format is missing (scripts/setup.sh installs it)" >&2; exit 1; }

mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
    clang-format -i --style=file "${files[@]}"
    exit 0
fi

unformatted=()
for f in "${files[@]}"; do
    clang-format --dry-run --Werror --style=file "$f" >/dev/null 2>&1 || unformatted+=("$f")
done
if ((${#unformatted[@]})); then
    echo "Not formatted as .clang-format says (${#unformatted[@]} of ${#files[@]} files):" >&2
    printf '  %s\n' "${unformatted[@]}" >&2
    echo "Run scripts/check-format.sh --fix" >&2
    exit 1
fi
echo "Formatting: ${#files[@]} files as .clang-format says"
