#!/usr/bin/env bash
# Makes the fuzzer's seed pictures of the kinds the imaging component decodes into folder $1:
# JPEG (baseline with an orientation tag, progressive, CMYK), PNG (alpha, interlaced, 16-bit,
# palette), GIF (palette, two frames, a table of the image's own, none at all) and TIFF (two
# pages with an orientation tag). Each is large enough to span several memory pages; those
# named refused-* must be refused.
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
# gif_table local|none IN OUT: IN with its global colour table moved into its first image, or
# dropped. The platform's decoder reads through the missing palette of a GIF with none.
gif_table() {
  perl -e '
    local $/; my $gif = <STDIN>;
    my $flags = ord(substr($gif, 10, 1));
    my $table = substr($gif, 13, 3 << (($flags & 7) + 1), "");
    substr($gif, 10, 1) = chr($flags & 0x70);
    my $at = 13;
    while (ord(substr($gif, $at, 1)) == 0x21) {
      $at += 2;
      $at += 1 + ord(substr($gif, $at, 1)) while ord(substr($gif, $at, 1)) != 0;
      $at += 1;
    }
    if ($ARGV[0] eq "local") {
      substr($gif, $at + 9, 1) = chr(0x80 | ($flags & 7));
      substr($gif, $at + 10, 0) = $table;
    }
    print $gif;' "$1" <"$2" >"$3"
}
gif_table local palette.gif local-table.gif
gif_table none palette.gif refused-no-table.gif
convert -size 120x90 plasma:fractal \( -size 120x90 gradient:red-blue \) -set delay 10 anim.gif
convert -size 200x150 plasma:fractal \( -size 200x150 gradient:red-blue \) -compress lzw pages.tif
exiftool -q -overwrite_original '-Orientation#=8' pages.tif
