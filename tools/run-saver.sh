#!/usr/bin/env bash
# Runs the saver full screen under Wine. On a reachable X display it runs until input ends it;
# without one it runs in a virtual display for a while and writes screenshots.
set -euo pipefail
build=$(realpath "$1")
here=$(dirname "$0")
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  QUORVEL_USE_DISPLAY=1 "$here/with-wine.sh" "$build" wine "$build/quorvel.scr" /s
  exit 0
fi
out="$build/screenshots"
mkdir -p "$out"
rm -f "$out"/*.png
# Wine keeps an OpenGL child window in an X window of its own, redirected off screen under
# the virtual display, so that window (the screen-sized one) is photographed rather than root.
"$here/with-wine.sh" "$build" bash -c '
  wine "$1/quorvel.scr" /s >/dev/null 2>&1 &
  saver=$!
  for i in 01 02 03 04 05 06 07 08; do
    sleep 4
    scene=$(xwininfo -root -tree | grep -E "1024x768\+0\+0 +\+-1\+-1" | grep -oE "0x[0-9a-f]+" | head -n1)
    import -window "${scene:-root}" "$2/screen-$i.png"
  done
  xdotool key Escape
  wait $saver
' run "$build" "$out"
echo "No X display: the saver ran in a virtual display; screenshots are in $out"
