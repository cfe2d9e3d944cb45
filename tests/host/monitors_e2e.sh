#!/usr/bin/env bash
# The full-screen saver on two monitors at 150 % scale: it covers both, draws the scene on the
# primary at that monitor's size with the overlay scaled, and ends on input over either.
source "$QUORVEL_SOURCE/tests/support/e2e.sh"

if [ "${1:-}" != --inside ]; then
  # Two X screens under Xinerama, both at the origin; the suite's Wine server makes way.
  source "$QUORVEL_SOURCE/tools/wine-session.sh"
  stop_wine
  # Xvfb aborts when Wine's server goes away at the end under Xinerama; that is its own fault.
  QUORVEL_SCREEN=1024x768x24 QUORVEL_XVFB_FLAGS="-screen 1 1280x800x24 +xinerama -extension RANDR" \
    "$QUORVEL_SOURCE/tools/with-wine.sh" "$QUORVEL_BUILD" bash "$0" --inside 2>&1 |
    grep -v 'Aborted .*Xvfb'
  status=${PIPESTATUS[0]}
  start_wine || true
  exit "$status"
fi

source "$QUORVEL_SOURCE/tools/wine-dpi.sh"
trap restore_dpi EXIT
set_dpi 144

# A window reaching into the second monitor stands for the desktop the saver must hide.
driver parent 1260 780 60000 >/dev/null &
sleep 1
grey=$(import -window root -crop 256x800+1024+0 +repage png:- | convert png:- -format '%[fx:mean>0.1]' info:)
check "a window shows on the second monitor before the saver starts" "$grey" 1

xdotool mousemove 1200 780
start_saver /s
WINDOW=$(saver_window)
check_match "the saver window spans both monitors, topmost" "$(driver describe "$WINDOW")" \
  'rect=0,0,1280,800 .*exstyle=0x0000000[89]'
check_match "the scene covers the primary monitor at its size" "$(driver children "$WINDOW")" \
  'class=OpenGL Window .*rect=0,0,1024,768 client=1024,768 '
black=$(import -window root -crop 256x800+1024+0 +repage png:- | convert png:- -format '%[fx:maxima]' info:)
check "the part of the second monitor beyond the primary is black" "$black" 0

# The banner, in the bottom right corner after its first second, is drawn at 150 % of 256 x 32.
sleep 2
scene=$(xwininfo -root -tree | grep -E ' 1024x768\+0\+0 +\+-1\+-1' | tail -1 | awk '{print $1}')
banner=$(import -window "$scene" -crop 512x100+512+668 +repage png:- |
  convert png:- -threshold 8% -trim -format '%w %h %[fx:page.x+w]' info:)
read -r width height right <<<"$banner"
check "the banner is scaled by 1.5 (its drawn width $width)" $((width > 330 && width <= 384)) 1
check "the banner's height ($height) too" $((height > 32 && height <= 48)) 1
check "the banner sits at the primary's right edge" $((right > 500)) 1

# Input over the black part reaches the saver window itself.
xdotool click 1
wait_exit 10
check "a click on the second monitor ends the saver with 0" "$EXIT_CODE" 0
end_leftover
kill %1 2>/dev/null
finish
