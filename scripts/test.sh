#!/usr/bin/env bash
# Builds everything and runs every test under Wine on a private Xvfb display; without arguments it
# also checks the formatting (scripts/check-format.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export FH_BUILD=${FH_BUILD:-$root/build}
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
. "$root/scripts/wine-env.sh"
fh_wine_start "$FH_BUILD" private
. "$root/scripts/http-test-server.sh"
trap 'fh_http_server_stop; fh_wine_stop' EXIT
fh_http_server_start "$FH_BUILD"
"$root/scripts/stage-imaging-data.sh"
status=0
ctest --test-dir "$FH_BUILD" --output-on-failure -j"${FH_TEST_JOBS:-2}" "$@" || status=$?
# The whole run (no test selected) also checks the formatting.
if (($# == 0)); then
    "$root/scripts/check-format.sh" || status=1
fi
exit "$status"
