#!/usr/bin/env bash
# Builds the program and starts it under Wine, on the user's display if there is one.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export FH_BUILD=${FH_BUILD:-$root/build}
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
. "$root/scripts/wine-env.sh"
fh_wine_start "$FH_BUILD"
trap fh_wine_stop EXIT
if [ -n "${FH_XVFB_PID:-}" ]; then
    echo "No display found: running on a private Xvfb ($DISPLAY)."
fi
rc=0
LC_ALL=${FH_LOCALE:-ja_JP.UTF-8} wine "$FH_BUILD/fernhollow.exe" "$@" || rc=$?
echo "fernhollow.exe ended with exit code $rc"
