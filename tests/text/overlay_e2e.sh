#!/usr/bin/env bash
# The overlay in real frames of the saver: the two text lines in their top hold, the banner
# in its corners, and nothing of it in preview mode.
source "$QUORVEL_SOURCE/tests/support/e2e.sh"

W=800
H=600
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# The default settings: countdown on, the message "The Saga Continues In" and a target date
# long past, so the countdown line is the closing sentence whatever the clock says.
wine reg delete 'HKCU\Software\Plinthwax\QUORVEL' /f >/dev/null 2>&1
message="The Saga Continues In"
countdown="The wait is over! Or has it just begun?"

shoot() {
  local dir="$out/$1"
  shift
  mkdir -p "$dir"
  wine "$QUORVEL_BUILD/qsnapshot.exe" --out "$(winepath -w "$dir")" --seed 7 \
    --size ${W}x${H} "$@" >/dev/null 2>&1
}
frame() { printf '%s/%s/frame_%09.3f.bmp' "$out" "$1" "$2"; }

# "x y r g b" for every pixel of a region WxH+X+Y of a picture (rows counted from the top).
pixels() {
  convert "$1" -crop "$2" +repage -depth 8 txt:- | awk -F'[,: ()]+' 'NR > 1 {print $1, $2, $3, $4, $5}'
}

# One mark per character cell of a line centred in the window: '#' a glyph (ink that is not
# a solid block), '.' no ink, 'X' a solid block; then '|' and the ink outside the cells.
cells() {
  local picture=$1 text=$2 top=$3
  pixels "$picture" "${W}x11+0+$top" | awk -v len=${#text} -v w=$W '
    BEGIN { left = w / 2 - 6 * len - 6 }
    $5 >= 40 {
      if ($1 < left || $1 >= left + 12 * len) outside++; else ink[int(($1 - left) / 12)]++
    }
    END {
      for (i = 0; i < len; i++) printf "%s", (!ink[i] ? "." : (ink[i] > 0.7 * 132 ? "X" : "#"))
      printf "|%d\n", outside
    }'
}
expected_cells() { echo "$1" | sed 's/[^ ]/#/g; s/ /./g; s/$/|0/'; }

# Lit pixels in a region.
lit() { pixels "$1" "$2" | awk '$3 + $4 + $5 >= 60 {n++} END {print n + 0}'; }
corners() {
  local row=$1
  echo "$(lit "$2" "256x32+0+$row") $(lit "$2" "256x32+$((W - 256))+$row")"
}

shoot full --times 8,30,55
shoot preview --preview --times 8,30

# 30 s: the text hold at the top. Glyph cells 12 units apart centred on W / 2; the message
# line's cells span rows 9 to 20 from the top, the countdown line's rows 20 to 31.
top=$(frame full 30)
check "message line legible and centred at the top" "$(cells "$top" "$message" 9)" \
  "$(expected_cells "$message")"
check "countdown line legible and centred below it" "$(cells "$top" "$countdown" 21)" \
  "$(expected_cells "$countdown")"
check "no banner during the text hold" "$(corners $((H - 37)) "$top")" "0 0"

# 8 s: the banner holds at the bottom right; the text is gone.
bottom=$(frame full 8)
read -r left right <<<"$(corners $((H - 37)) "$bottom")"
check_match "banner in the bottom right corner ($left left, $right right)" \
  "$((right > 1000 && left == 0))" '^1$'
check "no text during the banner hold" "$(cells "$bottom" "$message" 9)" \
  "$(echo "$message" | sed 's/./\./g; s/$/|0/')"

# 55 s: the banner holds at the top, in the corner drawn at the start of the text hold.
read -r left right <<<"$(corners 8 "$(frame full 55)")"
check_match "banner in one top corner ($left left, $right right)" \
  "$(((left > 1000 && right == 0) || (right > 1000 && left == 0)))" '^1$'

# Preview mode draws none of it.
for t in 8 30; do
  shot=$(frame preview $t)
  check "preview at $t s: no text" "$(lit "$shot" "${W}x40+0+0")" 0
  check "preview at $t s: no banner" "$(corners $((H - 37)) "$shot") $(corners 8 "$shot")" \
    "0 0 0 0"
done
finish
