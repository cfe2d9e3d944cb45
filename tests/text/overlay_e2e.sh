#!/usr/bin/env bash
# The overlay in real frames of the saver's own creation path (the frame-snapshot tool): at 30 s
# the text lines hold at the top and at 8 s the banner at the bottom right in full screen;
# preview mode draws none of it.
source "$QUORVEL_SOURCE/tests/support/e2e.sh"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
wine reg delete 'HKCU\Software\Plinthwax\QUORVEL' /f >/dev/null 2>&1

# Lit pixels of region WxH+X+Y (rows from the top) of the frame at $2 s of run $1.
lit() {
  convert "$(printf '%s/%s/frame_%09.3f.bmp' "$out" "$1" "$2")" -crop "$3" +repage -depth 8 txt:- |
    awk -F'[,: ()]+' 'NR > 1 && $3 + $4 + $5 >= 60 {n++} END {print n + 0}'
}
for run in full preview; do
  mkdir -p "$out/$run"
  wine "$QUORVEL_BUILD/qsnapshot.exe" --out "$(winepath -w "$out/$run")" --seed 7 --size 800x600 \
    --fps 5 --times 8,30 $([ $run = preview ] && echo --preview) >/dev/null 2>&1
done
check_match "full screen: text at the top at 30 s, the banner in the bottom right at 8 s" \
  "$(lit full 30 800x40+0+0) $(lit full 8 256x32+544+563)" '^[1-9][0-9]{2,} [1-9][0-9]{2,}$'
check "full screen: no text at 8 s, no banner at 30 s" \
  "$(lit full 8 800x40+0+0) $(lit full 30 256x32+544+563)" "0 0"
check "preview: neither" \
  "$(lit preview 30 800x40+0+0) $(lit preview 8 256x32+544+563)" "0 0"
finish
