#!/usr/bin/env bash
# Frames of the snapshot tool (seeded, driven clock) against the reference frames in
# tests/render/reference: every channel of every pixel within TOLERANCE steps of 255. A change
# that means to alter the pictures draws new references with QUORVEL_WRITE_REFERENCES=1.
source "$QUORVEL_SOURCE/tests/support/e2e.sh"

# llvmpipe draws the same frame to the bit on one machine; a step or two of rounding in its
# filtering and blending may differ on a processor with other vector widths.
TOLERANCE=2
refs="$QUORVEL_SOURCE/tests/render/reference"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
# The default settings: the countdown's date is long past, so its line does not change.
wine reg delete 'HKCU\Software\Plinthwax\QUORVEL' /f >/dev/null 2>&1

# case NAME TIMES OPTIONS...: the frames at TIMES (seconds) of one run of the tool.
case_frames() {
  local name=$1 times=$2
  shift 2
  mkdir -p "$out/$name"
  wine "$QUORVEL_BUILD/qsnapshot.exe" --out "$(winepath -w "$out/$name")" --size 512x384 \
    --times "$times" "$@" >/dev/null 2>&1
  local time frame ref
  for time in ${times//,/ }; do
    frame=$(printf '%s/%s/frame_%09.3f.bmp' "$out" "$name" "$time")
    ref="$refs/${name}_$time.png"
    if [ "${QUORVEL_WRITE_REFERENCES:-0}" = 1 ]; then
      mkdir -p "$refs" && convert "$frame" -strip -define png:compression-level=9 "$ref"
      continue
    fi
    # The largest difference of any channel of any pixel, in steps of 255.
    local worst
    worst=$(compare -metric PAE "$ref" "$frame" null: 2>&1 | sed -n 's/.*(\(.*\)).*/\1/p')
    check "$name at $time s within $TOLERANCE steps" \
      "$(awk -v w="${worst:-missing}" -v t=$TOLERANCE 'BEGIN { print (w != "missing" && w * 255 <= t + 0.01) ? "yes" : "no (" w * 255 ")" }')" yes
  done
}

# A front picture with its caption from the beam opening through scan, hold and erase; a floor
# picture; a close-up widening; the overlay's banner and text lines; preview without overlay.
case_frames front 2.4,5,10,14.5 --seed 11 --item 18
case_frames floor 9.7,14,21.3 --seed 3 --item 16
case_frames zoom 6.3,10 --seed 14 --item 24
case_frames scene 2,20,40 --seed 7
case_frames preview 10 --seed 7 --preview
finish
