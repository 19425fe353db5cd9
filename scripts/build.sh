#!/usr/bin/env bash
# Configures and builds everything into $FH_BUILD (default: build/).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FH_BUILD:-$root/build}
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" -- -j"${FH_JOBS:-$(nproc)}"
