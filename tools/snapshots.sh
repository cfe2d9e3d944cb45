#!/usr/bin/env bash
# Review pictures, inside the Wine wrapper: frames of the scene from the frame-snapshot tool,
# the robot from eight directions in each colour scheme, and the configuration dialog.
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

# The robot at rest: eight directions in each of the six colour schemes, one sheet.
key='HKCU\Software\Plinthwax\QUORVEL'
for scheme in 0 1 2 3 4 5; do
  for yaw in 0 45 90 135 180 225 270 315; do
    shoot "robot/s${scheme}_y${yaw}" --seed 3 --size 320x320 --fps 1000 --times 0.001 \
      --scheme "$scheme" --yaw "$yaw" --preview
  done
done
wine reg delete "$key" /v "Mekan Colour" /f >/dev/null 2>&1 || true
montage "$out"/robot/s?_y*/*.png -tile 8x6 -geometry 160x160+2+2 -background black \
  "$out/robot_review.png"

"$here/dialog-shot.sh" "$build" "$out/dialog.png"
echo "Pictures in $out"
