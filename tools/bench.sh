#!/usr/bin/env bash
# The figures of the closing notes, inside the Wine wrapper: start-up, scene build, texture
# loads and frame rates at two screen sizes, then a day of show in simulated time.
set -euo pipefail
build=$1
wine "$build/qbench.exe" 1024 768 2>/dev/null | tr -d '\r'
wine "$build/qbench.exe" 1024 768 --pacing 30 2>/dev/null | tr -d '\r'
wine "$build/qbench.exe" 1920 1080 2>/dev/null | tr -d '\r' | grep -E '^(size|frame cost)'
# Four-second movies, one per folder, for the cost of a movie frame.
movies=$(mktemp -d)
trap 'rm -rf "$movies"' EXIT
mkdir -p "$movies/msvideo1" "$movies/cinepak" "$movies/cinepak640"
clip() { ffmpeg -nostdin -v error -y -f lavfi -i "testsrc=size=$1:rate=15:duration=4" "${@:2}"; }
clip 320x240 -c:v msvideo1 -pix_fmt rgb555le "$movies/msvideo1/m.avi"
clip 320x240 -c:v cinepak "$movies/cinepak/m.avi"
clip 640x480 -c:v cinepak "$movies/cinepak640/m.avi"
wine "$build/qbench.exe" 1024 768 --movies "$(winepath -w "$movies")\\" msvideo1 cinepak cinepak640 \
  2>/dev/null | tr -d '\r' | grep -E '^(movie|frame cost)'
media=$(mktemp -d)
trap 'rm -rf "$movies" "$media"' EXIT
convert -size 320x240 gradient:navy-white "$media/wide.bmp"
convert -size 200x400 plasma:fractal "$media/tall.bmp"
convert -size 64x64 xc:orange "$media/small.bmp"
echo "not a picture" >"$media/broken.bmp"
# Five minutes of show with a movie and a 20-megapixel picture among the items.
show=$(mktemp -d)
trap 'rm -rf "$movies" "$media" "$show"' EXIT
convert -size 5000x4000 gradient:teal-orange -type TrueColor "BMP3:$show/large.bmp"
cp "$movies/cinepak/m.avi" "$show/m.avi"
wine "$build/qbench.exe" 1024 768 --show 5 "$(winepath -w "$show")\\" 2>/dev/null | tr -d '\r'
wine "$build/qbench.exe" 160 120 --soak "${QUORVEL_SOAK_HOURS:-24}" "$(winepath -w "$media")\\" \
  2>/dev/null | tr -d '\r'
