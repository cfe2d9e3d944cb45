#!/usr/bin/env bash
# Review pictures written by the frame-snapshot tool, inside the Wine wrapper.
# Usage: snapshots.sh BUILD_DIR [OUT_DIR]
set -euo pipefail
build=$(realpath "$1")
out=$(realpath -m "${2:-$build/snapshots}")
mkdir -p "$out"
shoot() {
  local name=$1
  shift
  local dir="$out/$name"
  mkdir -p "$dir"
  wine "$build/qsnapshot.exe" --out "$(winepath -w "$dir")" "$@" >/dev/null 2>&1
  for bmp in "$dir"/*.bmp; do convert "$bmp" "${bmp%.bmp}.png" && rm "$bmp"; done
}
shoot scene --seed 7 --size 800x600 --times 2,20,40,60
echo "Pictures in $out"
