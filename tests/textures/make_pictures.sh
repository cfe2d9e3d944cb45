#!/usr/bin/env bash
# Makes the picture tests' pictures in folder $1. Every good one shows, upright, the same 96 x 64
# quadrants (red, green; blue, yellow), so that any flip or turn is seen; bad ones are broken copies.
set -euo pipefail
mkdir -p "$1" && cd "$1"
convert -size 48x32 xc:red xc:lime +append \( -size 48x32 xc:blue xc:yellow +append \) -append \
  +repage upright.png

# Stored turned so that orientation N shows it upright, as ImageMagick must agree.
inverse=("" "" -flop "-rotate 180" -flip -transpose "-rotate 270" -transverse "-rotate 90")
for n in 1 2 3 4 5 6 7 8; do
  # shellcheck disable=SC2086
  convert upright.png ${inverse[$n]} -quality 95 "orient$n.jpg"
  exiftool -q -overwrite_original "-Orientation#=$n" "orient$n.jpg"
  [ "$(convert "orient$n.jpg" -auto-orient -format %wx%h info:)" = 96x64 ]
done
convert upright.png -rotate 270 -compress lzw orient6.tif
exiftool -q -overwrite_original "-Orientation#=6" orient6.tif

# The right half see-through: the top right at half, the bottom right wholly.
convert upright.png -alpha set -region 48x32+48+0 -channel A -evaluate set 50% +channel \
  -region 48x32+48+32 -channel A -evaluate set 0 +channel alpha.png
convert upright.png -interlace PNG interlaced.png
convert upright.png -depth 16 deep.png
convert upright.png -colors 8 palette.gif
convert upright.png \( -size 96x64 xc:magenta \) -set delay 20 -loop 0 animated.gif
convert upright.png -colorspace CMYK -quality 95 cmyk.jpg
convert upright.png -interlace JPEG -quality 95 progressive.jpg
convert upright.png \( -size 96x64 xc:magenta \) -compress lzw multipage.tif
# Names whose extension does not say what the file holds, or says it in capitals.
cp upright.png png-inside.JPEG
cp orient6.tif turned.tiff

: >empty.jpg
echo "not a picture" >text.png
convert upright.png BMP3:bmp-inside.jpg
for f in progressive.jpg animated.gif multipage.tif; do
  head -c $(($(stat -c %s "$f") / 2)) "$f" >"truncated-$f"
done
mkdir -p refused && cp truncated-progressive.jpg refused/a.jpg
# Ten bytes a third of the way in overwritten.
cp multipage.tif corrupt-multipage.tif && printf '\xff\x00\xff\x00\x13\x37\xde\xad\xbe\xef' |
  dd of=corrupt-multipage.tif bs=1 seek=$(($(stat -c %s multipage.tif) / 3)) conv=notrunc status=none
# A header that declares a huge picture: a PNG of 100000 x 100000, with a correct checksum so
# that a decoder believes it.
perl -MCompress::Zlib -e '
  local $/; open(my $f, "<:raw", "upright.png") or die; my $png = <$f>;
  substr($png, 16, 8) = pack("NN", 100000, 100000);
  substr($png, 29, 4) = pack("N", crc32(substr($png, 12, 17)));
  open(my $o, ">:raw", "huge.png") or die; print $o $png;'
