#!/usr/bin/env bash
# Review pictures, inside the Wine wrapper: frames of the scene from the frame-snapshot tool,
# the robot from eight directions in each colour scheme, the configuration dialog and the
# overlay at several DPI settings.
# Usage: snapshots.sh BUILD_DIR [OUT_DIR]
set -euo pipefail
build=$(realpath "$1")
out=$(realpath -m "${2:-$build/snapshots}")
here=$(dirname "$0")
mkdir -p "$out"

# shoot NAME OPTIONS...: frames of the snapshot tool as PNG files in OUT/NAME.
shoot() {
  local name=$1
  shift
  local dir="$out/$name"
  mkdir -p "$dir"
  rm -f "$dir"/*.png
  wine "$build/qsnapshot.exe" --out "$(winepath -w "$dir")" "$@" >/dev/null 2>&1
  for bmp in "$dir"/*.bmp; do convert "$bmp" "${bmp%.bmp}.png" && rm "$bmp"; done
}

shoot scene --seed 7 --size 800x600 --times 2,20,40,60

# One whole show item each, from the beam opening to the beam closing.
sequence() {
  local name=$1
  shift
  shoot "$name" --size 800x600 "$@"
  montage "$out/$name"/*.png -tile 4x -geometry 400x300+2+2 -background gray25 "$out/$name.png"
}
sequence front --seed 11 --item 18 --times 1.9,2.4,3.2,5,10,13.5,14.5,15.6
sequence floor --seed 3 --item 16 --times 6.5,8.5,9.7,11.0,14,21.3,22.3,23.4
sequence zoom --seed 14 --item 24 --times 4.3,5.4,6.3,6.8,7.4,10,16.8,17.8

# The robot at rest: eight directions in each of the six colour schemes, one sheet.
key='HKCU\Software\Plinthwax\QUORVEL'
for scheme in 0 1 2 3 4 5; do
  for yaw in 0 45 90 135 180 225 270 315; do
    shoot "robot/s${scheme}_y${yaw}" --seed 3 --size 320x320 --fps 1000 --times 0.001 \
      --scheme "$scheme" --yaw "$yaw" --preview
  done
done
wine reg delete "$key" /v "Mekan Colour" /f >/dev/null 2>&1 || true
montage "$out"/robot/s?_y*/*.png -gravity center -crop 150x170+0+0 -tile 8x6 \
  -geometry 150x170+2+2 -background black "$out/robot_review.png"

# The configuration dialog at four display scales (100, 125, 150 and 200 %), and the same
# screen at 100 % and at 200 % (twice the pixels each way): the overlay keeps its size on it.
source "$here/wine-dpi.sh"
trap restore_dpi EXIT
for dpi in 96 120 144 192; do
  set_dpi "$dpi"
  "$here/dialog-shot.sh" "$build" "$out/dialog_dpi$dpi.png"
  case $dpi in
    96) shoot overlay_dpi96 --seed 7 --size 960x540 --times 10,30 ;;
    192) shoot overlay_dpi192 --seed 7 --size 1920x1080 --times 10,30 ;;
  esac
done
montage "$out"/overlay_dpi{96,192}/*.png -tile 2x -geometry 480x270+2+2 -background gray25 \
  -depth 8 "$out/overlay_dpi.png"
echo "Pictures in $out"
