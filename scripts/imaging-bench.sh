#!/usr/bin/env bash
# Makes a 24-megapixel JPEG and a 16-bit PNG with ImageMagick (once, in $FH_BUILD/bench/data) and
# runs the image loader benchmark on them under Wine. Arguments go to the benchmark (rounds).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export FH_BUILD=${FH_BUILD:-$root/build}
"$root/scripts/build.sh"
data="$FH_BUILD/bench/data"
mkdir -p "$data"
[ -f "$data/photo-24mp.jpg" ] || convert -size 6000x4000 plasma:fractal -seed 7 -quality 90 "$data/photo-24mp.jpg"
[ -f "$data/deep-16bit.png" ] || convert -size 3000x2000 -seed 7 plasma:fractal -depth 16 "PNG48:$data/deep-16bit.png"
. "$root/scripts/wine-env.sh"
fh_wine_start "$FH_BUILD"
trap fh_wine_stop EXIT
wine "$FH_BUILD/bench/img_loader_bench.exe" "$@" "$(winepath -w "$data/photo-24mp.jpg")" \
    "$(winepath -w "$data/deep-16bit.png")"
