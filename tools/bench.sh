#!/usr/bin/env bash
# The figures of the closing notes, inside the Wine wrapper: start-up, scene build, texture
# loads and frame rates at two screen sizes, then a day of show in simulated time.
set -euo pipefail
build=$1
wine "$build/qbench.exe" 1024 768 2>/dev/null | tr -d '\r'
wine "$build/qbench.exe" 1920 1080 2>/dev/null | tr -d '\r' | grep -E '^(size|frame cost)'
media=$(mktemp -d)
trap 'rm -rf "$media"' EXIT
convert -size 320x240 gradient:navy-white "$media/wide.bmp"
convert -size 200x400 plasma:fractal "$media/tall.bmp"
convert -size 64x64 xc:orange "$media/small.bmp"
echo "not a picture" >"$media/broken.bmp"
wine "$build/qbench.exe" 160 120 --soak "${QUORVEL_SOAK_HOURS:-24}" "$(winepath -w "$media")\\" \
  2>/dev/null | tr -d '\r'
