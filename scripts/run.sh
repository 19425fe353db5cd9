#!/usr/bin/env bash
# Builds the program and starts it under Wine, on the user's display if there is one.
#   scripts/run.sh [--card FOLDER] [PROGRAM ARGUMENTS]
# --card FOLDER presents FOLDER (a Linux folder holding DCIM\...) as a camera card that arrives
# once the program's window exists, so the whole road can be watched; the drive is removed when
# the program ends. Start the program with /start (or press Start) so that it takes the card.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export FH_BUILD=${FH_BUILD:-$root/build}
card=
if [ "${1:-}" = --card ]; then
    [ -d "${2:-}" ] || { echo "run.sh: --card needs a folder" >&2; exit 2; }
    card=$(cd "$2" && pwd)
    shift 2
fi
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
. "$root/scripts/wine-env.sh"
fh_wine_start "$FH_BUILD"
letter=
cleanup() {
    if [ -n "$letter" ]; then
        wine "$FH_BUILD/tests/drivetool.exe" remove "$letter" </dev/null >/dev/null 2>&1 || true
    fi
    fh_wine_stop
}
trap cleanup EXIT
if [ -n "${FH_XVFB_PID:-}" ]; then
    echo "No display found: running on a private Xvfb ($DISPLAY)."
fi
rc=0
LC_ALL=${FH_LOCALE:-ja_JP.UTF-8} wine "$FH_BUILD/fernhollow.exe" "$@" &
program=$!
if [ -n "$card" ]; then
    for l in w v u t s r q p; do
        [ -e "$WINEPREFIX/dosdevices/$l:" ] || { letter=${l^^}; break; }
    done
    if [ -z "$letter" ]; then
        echo "run.sh: no free drive letter for the card" >&2
    elif wine "$FH_BUILD/tests/findwindow.exe" Fernhollow 30000 </dev/null >/dev/null 2>&1; then
        sleep 1 # the window exists; "/start" arms the program right after it has placed itself
        if wine "$FH_BUILD/tests/drivetool.exe" insert "$letter" "$card" </dev/null >/dev/null 2>&1; then
            echo "Card $card arrived as drive $letter:."
        else
            echo "run.sh: could not present the card" >&2
            letter=
        fi
    else
        echo "run.sh: the program's window did not appear; no card presented" >&2
    fi
fi
wait "$program" || rc=$?
echo "fernhollow.exe ended with exit code $rc"
