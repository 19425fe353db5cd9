#!/usr/bin/env bash
# Builds, then shows the settings form, the confirm dialog and the about box in Japanese on a private X display and
# saves pictures of the screen into $FH_BUILD/screens/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export FH_BUILD=${FH_BUILD:-$root/build}
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
. "$root/scripts/wine-env.sh"
fh_wine_start "$FH_BUILD" private
trap fh_wine_stop EXIT
out="$FH_BUILD/screens"
mkdir -p "$out"

# A virtual desktop: Wine draws the window frames itself (there is no window manager).
shot() {
    local name=$1
    LC_ALL=ja_JP.UTF-8 wine explorer "/desktop=fhscreens,800x600" "$FH_BUILD/tests/screens.exe" "$name" \
        </dev/null >/dev/null 2>&1 &
    local pid=$!
    sleep 4
    import -window root -crop 800x600+0+0 "$out/$name.png"
    wait "$pid" || true
    echo "saved $out/$name.png"
}

shot form
shot confirm
shot about
