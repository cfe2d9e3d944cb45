#!/usr/bin/env bash
# The figures of the closing notes, inside the Wine wrapper: start-up, scene build, texture
# loads and frame rates.
set -euo pipefail
build=$1
# Four-second movies for the cost of a movie frame, one per folder.
movies=$(mktemp -d)
trap 'rm -rf "$movies"' EXIT
mkdir -p "$movies/msvideo1" "$movies/cinepak" "$movies/cinepak640"
clip() { ffmpeg -nostdin -v error -y -f lavfi -i "testsrc=size=$1:rate=15:duration=4" "${@:2}"; }
clip 320x240 -c:v msvideo1 -pix_fmt rgb555le "$movies/msvideo1/m.avi"
clip 320x240 -c:v cinepak "$movies/cinepak/m.avi"
clip 640x480 -c:v cinepak "$movies/cinepak640/m.avi"
wine "$build/qbench.exe" 1024 768 "Z:$movies" 2>/dev/null | tr -d '\r'
