#!/usr/bin/env bash
# Lays out the imaging tests' pictures and profiles in $FH_BUILD/testdata/imaging from Debian's
# packages (never committed) and the pictures made by make-imaging-data.py; with a Wine prefix,
# installs the CMYK profile in its colour folder as RSWOP.icm.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FH_BUILD:-$root/build}
out="$build/testdata/imaging"
go=/usr/share/go-1.19/src/image
xi=/usr/share/gocode/src/golang.org/x/image/testdata
icc=/usr/share/color/icc
mkdir -p "$out"

copy() { cp -f "$1" "$out/${2:-$(basename "$1")}"; }
for f in basn0g01 basn0g02 basn0g04 basn0g08 basn0g16 basn2c08 basn2c16 basn3p01 basn3p02 basn3p04 \
         basn3p08 basn3p08-trns basn4a08 basn4a16 basn6a08 basn6a16; do
    copy "$go/png/testdata/pngsuite/$f.png"
done
for f in video-001.cmyk.jpeg video-001.jpeg video-005.gray.jpeg video-001.gif triangle-001.gif video-005.gray.gif; do
    copy "$go/testdata/$f"
done
for f in video-001.tiff video-001-paletted.tiff video-001-gray-16bit.tiff video-001.bmp blue-purple-pink-large.png; do
    copy "$xi/$f"
done
copy "$icc/sRGB.icc" srgb-v2.icc
copy "$icc/Gray.icc" gray-v2.icc
copy "$icc/ITULab.icc" lab-v2.icc
copy "$icc/colord/sRGB.icc" srgb-v4.icc
copy "$icc/colord/AdobeRGB1998.icc" adobergb-v4.icc
copy "$icc/ghostscript/default_cmyk.icc" cmyk-v2.icc
python3 "$root/scripts/make-imaging-data.py" "$out" "$go/testdata/video-001.jpeg" "$icc/sRGB.icc"
# What an independent decoder (ImageMagick) reads from the pictures the loader narrows: 8-bit
# grey levels, BGR bytes, and the Rec. 709 luma of a colour picture. The samples are read as they
# are stored: the PNG suite's gAMA 1.0 would otherwise have them bent into sRGB.
for f in grey8-palette.bmp video-005.gray.gif bw-black0.bmp bw-white0.bmp bw-black0.png bw-white0.png \
         basn0g02.png basn0g04.png basn0g16.png video-001-gray-16bit.tiff; do
    convert "$out/$f" -set colorspace sRGB -depth 8 "gray:$out/$f.grey"
done
for f in basn3p04.png basn2c16.png basn3p01.png; do
    convert "$out/$f" -set colorspace sRGB -depth 8 "bgr:$out/$f.bgr"
done
convert "$out/basn2c08.png" -set colorspace sRGB -grayscale Rec709Luma -depth 8 "gray:$out/basn2c08.png.grey"

if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX/drive_c/windows/system32" ]; then
    color="$WINEPREFIX/drive_c/windows/system32/spool/drivers/color"
    mkdir -p "$color"
    cmp -s "$icc/ghostscript/default_cmyk.icc" "$color/RSWOP.icm" || cp -f "$icc/ghostscript/default_cmyk.icc" "$color/RSWOP.icm"
fi
