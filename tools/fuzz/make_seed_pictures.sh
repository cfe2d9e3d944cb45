#!/usr/bin/env bash
# Makes the fuzzer's seed pictures of the kinds the imaging component decodes into folder $1:
# JPEG (baseline with an orientation tag, progressive, CMYK), PNG (alpha, interlaced, 16-bit,
# palette), GIF (palette, two frames) and TIFF (two pages with an orientation tag). Each is
# large enough to span several memory pages.
set -euo pipefail
out=$1
mkdir -p "$out"
cd "$out"
noise() { convert -size "$1" plasma:fractal -attenuate 0.5 +noise Gaussian "${@:2}"; }
noise 320x240 -quality 90 photo.jpg
exiftool -q -overwrite_original '-Orientation#=6' photo.jpg
noise 320x240 -interlace JPEG -quality 80 prog.jpg
noise 200x150 -colorspace CMYK cmyk.jpg
noise 200x150 -alpha set -channel A -fx 'i/w' +channel alpha.png
noise 200x150 -interlace PNG inter.png
noise 120x90 -depth 16 deep.png
noise 200x150 -colors 16 PNG8:palette.png
noise 200x150 -colors 64 palette.gif
convert -size 120x90 plasma:fractal \( -size 120x90 gradient:red-blue \) -set delay 10 anim.gif
convert -size 200x150 plasma:fractal \( -size 200x150 gradient:red-blue \) -compress lzw pages.tif
exiftool -q -overwrite_original '-Orientation#=8' pages.tif
