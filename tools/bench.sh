#!/usr/bin/env bash
# The figures of the closing notes, inside the Wine wrapper: start-up, scene build, texture
# loads and frame rates at two screen sizes, then a day of show in simulated time.
set -euo pipefail
build=$1
wine "$build/qbench.exe" 1024 768 2>/dev/null | tr -d '\r'
wine "$build/qbench.exe" 1024 768 --pacing 30 2>/dev/null | tr -d '\r'
wine "$build/qbench.exe" 1920 1080 2>/dev/null | tr -d '\r' | grep -E '^(size|frame cost)'
wine "$build/qbench.exe" --headers 2>/dev/null | tr -d '\r'
movies=$(mktemp -d) photos=$(mktemp -d) media=$(mktemp -d) show=$(mktemp -d)
trap 'rm -rf "$movies" "$photos" "$media" "$show"' EXIT
# Four-second movies, one per folder, for the cost of a movie frame.
mkdir -p "$movies/msvideo1" "$movies/cinepak" "$movies/cinepak640"
clip() { ffmpeg -nostdin -v error -y -f lavfi -i "testsrc=size=$1:rate=15:duration=4" "${@:2}"; }
clip 320x240 -c:v msvideo1 -pix_fmt rgb555le "$movies/msvideo1/m.avi"
clip 320x240 -c:v cinepak "$movies/cinepak/m.avi"
clip 640x480 -c:v cinepak "$movies/cinepak640/m.avi"
wine "$build/qbench.exe" 1024 768 --movies "$(winepath -w "$movies")\\" msvideo1 cinepak cinepak640 \
  2>/dev/null | tr -d '\r' | grep -E '^(movie|frame cost)'
# A 12-megapixel photo as a JPEG and as a BMP, for the cost of loading each.
mkdir -p "$photos/show"
convert -size 4000x3000 gradient:navy-orange -attenuate 0.4 +noise Gaussian -quality 90 \
  "$photos/photo.jpg"
convert "$photos/photo.jpg" -type truecolor "$photos/photo.bmp"
cp "$photos/photo.jpg" "$photos/show/"
wine "$build/qbench.exe" 1024 768 --pictures "$(winepath -w "$photos")\\" 2>/dev/null | tr -d '\r' |
  grep -E '^(picture|show frames)'
# The configuration dialog on a library of 100,000 photos in 2,000 folders (40 years of 50
# trips), their names only: its first paint and its count, three times.
python3 - "$photos/library" <<'PY'
import os, sys
for year in range(1985, 2025):
    for trip in range(1, 51):
        folder = os.path.join(sys.argv[1], str(year), f"Trip {trip:02}")
        os.makedirs(folder)
        for photo in range(50):
            open(os.path.join(folder, f"IMG_{photo:04}.jpg"), "w").close()
PY
for _ in 1 2 3; do
  wine "$build/qbench.exe" --dialog "$(winepath -w "$photos/library")\\" 2>/dev/null | tr -d '\r'
done
# The soak's folder: pictures of every kind, some broken, and an 8-megapixel photo.
convert -size 320x240 gradient:navy-white "$media/wide.bmp"
convert -size 200x400 plasma:fractal "$media/tall.bmp"
convert -size 64x64 xc:orange "$media/small.bmp"
echo "not a picture" >"$media/broken.bmp"
convert -size 3264x2448 gradient:teal-yellow -attenuate 0.3 +noise Gaussian "$media/photo.jpg"
convert -size 300x200 gradient:red-blue -alpha set -channel A -fx 'i/w' "$media/alpha.png"
convert -size 160x120 plasma:fractal -colors 32 "$media/palette.gif"
convert -size 200x300 gradient:green-black "$media/page.tif"
head -c 3000 "$media/photo.jpg" >"$media/cut.jpg"
: >"$media/empty.png"
# Five minutes of show with a movie and a 20-megapixel picture among the items.
convert -size 5000x4000 gradient:teal-orange -type TrueColor "BMP3:$show/large.bmp"
cp "$movies/cinepak/m.avi" "$show/m.avi"
wine "$build/qbench.exe" 1024 768 --show 5 "$(winepath -w "$show")\\" 2>/dev/null | tr -d '\r'
wine "$build/qbench.exe" 160 120 --soak "${QUORVEL_SOAK_HOURS:-24}" "$(winepath -w "$media")\\" \
  2>/dev/null | tr -d '\r'
# A library of 100,000 photos in 2,000 folders (links to a few small ones) and a movie: its
# listing, and five minutes of show from it against five from a folder of 20 photos.
library=$(mktemp -d) twenty=$(mktemp -d) decode=$(mktemp -d)
trap 'rm -rf "$movies" "$photos" "$media" "$show" "$library" "$twenty" "$decode"' EXIT
mkdir -p "$library/kind"
for kind in jpg png bmp gif; do
  convert -size 640x480 plasma:fractal -quality 85 "$library/kind/photo.$kind"
done
mkdir -p "$library/folder"
for i in $(seq 50); do
  kind=(jpg png bmp gif)
  ln "$library/kind/photo.${kind[i % 4]}" "$library/folder/photo $i.${kind[i % 4]}"
done
for i in $(seq 2000); do cp -al "$library/folder" "$library/$((i / 100))-$i"; done
rm -rf "$library/folder"
cp "$movies/cinepak/m.avi" "$library/1-100/m.avi"
for i in $(seq 20); do cp "$library/kind/photo.jpg" "$twenty/photo $i.jpg"; done
cp "$movies/cinepak/m.avi" "$twenty/m.avi"
rm -rf "$library/kind"
wine "$build/qbench.exe" 160 120 --library "$(winepath -w "$library")\\" 2>/dev/null | tr -d '\r'
wine "$build/qbench.exe" 1024 768 --show 5 "$(winepath -w "$library")\\" \
  "$(winepath -w "$twenty")\\" 2>/dev/null | tr -d '\r' | grep -E '^show(,| of)'
# The largest photo decoded whole where the codec cannot scale while it decodes (four bytes a
# pixel make 96 MiB), and one too large for that (ImageMagick's own limit is 128 megapixels).
convert -size 6144x4096 gradient:navy-orange -quality 90 "$decode/largest.jpg"
convert -size 12000x8000 gradient:navy-orange -quality 90 "$decode/huge.jpg"
for file in largest huge; do
  wine "$build/qbench.exe" 160 120 --decode "$(winepath -w "$decode/$file.jpg")" 2>/dev/null |
    tr -d '\r'
done
# A key while the largest photo decodes: the saver's end, timed by the end-to-end test.
# Its other checks want the test's own screen; only the time is read here.
(QUORVEL_BUILD=$(realpath "$build") QUORVEL_SOURCE=$PWD bash tests/textures/show_pictures_e2e.sh ||
  true) | grep -E '^closed during'
