#!/usr/bin/env bash
# Makes a 24-megapixel JPEG, a 16-bit PNG and an animated GIF (60 frames of 480 x 270) with
# ImageMagick (once, in $FH_BUILD/bench/data) and runs the image loader benchmark on them under Wine.
# ImageMagick gives the GIF's first frame the global table; its twin has none and a local table on
# every frame. Arguments go to the benchmark (rounds).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export FH_BUILD=${FH_BUILD:-$root/build}
"$root/scripts/build.sh"
data="$FH_BUILD/bench/data"
mkdir -p "$data"
[ -f "$data/photo-24mp.jpg" ] || convert -size 6000x4000 plasma:fractal -seed 7 -quality 90 "$data/photo-24mp.jpg"
[ -f "$data/deep-16bit.png" ] || convert -size 3000x2000 -seed 7 plasma:fractal -depth 16 "PNG48:$data/deep-16bit.png"
if [ ! -f "$data/animated-local-tables.gif" ]; then
    convert -size 480x270 $(for i in $(seq 60); do echo "-seed $i plasma:fractal"; done) -set delay 4 \
        "$data/animated-global-table.gif"
    python3 "$root/scripts/gif-local-tables.py" "$data/animated-global-table.gif" "$data/animated-local-tables.gif"
fi
. "$root/scripts/wine-env.sh"
fh_wine_start "$FH_BUILD"
trap fh_wine_stop EXIT
wine "$FH_BUILD/bench/img_loader_bench.exe" "$@" "$(winepath -w "$data/photo-24mp.jpg")" \
    "$(winepath -w "$data/deep-16bit.png")" "$(winepath -w "$data/animated-local-tables.gif")" \
    "$(winepath -w "$data/animated-global-table.gif")"
