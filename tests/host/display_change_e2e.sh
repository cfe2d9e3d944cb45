#!/usr/bin/env bash
# The screen changes size while the saver runs: through the display settings (the system says
# so) and behind the system's back (a RandR change it is not told of). The same saver, never
# restarted, covers the whole new screen with the scene on it at its size.
source "$QUORVEL_SOURCE/tests/support/e2e.sh"

if [ "${1:-}" != --inside ]; then
  # A nested X server whose screen RandR resizes (Xvfb's cannot change size), inside a virtual
  # display large enough for its biggest size; the suite's Wine server makes way.
  wineserver -k 2>/dev/null || true
  QUORVEL_SCREEN=1600x1200x24 "$QUORVEL_SOURCE/tools/with-wine.sh" "$QUORVEL_BUILD" bash "$0" --inside
  status=$?
  wineserver -p 2>/dev/null || true
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
  exit "$status"
fi

displayfile=$(mktemp)
Xephyr -displayfd 3 -screen 1024x768x24 +extension GLX +extension RANDR -nolisten tcp \
  3>"$displayfile" >/dev/null 2>&1 &
nested=$!
for _ in $(seq 100); do [ -s "$displayfile" ] && break; sleep 0.1; done
export DISPLAY=":$(tr -d '[:space:]' <"$displayfile")"
rm -f "$displayfile"
# Wine's server and desktop move to the nested display.
wineserver -k 2>/dev/null || true
trap 'wineserver -k 2>/dev/null; kill "$nested" 2>/dev/null' EXIT
wineserver -p
wine cmd /c exit </dev/null >/dev/null 2>&1 || true

screen_size() { xwininfo -root | awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w "x" h}'; }

# Waits up to five seconds for the saver window to take the screen's size.
wait_for_size() {
  for _ in $(seq 50); do
    [[ "$(driver describe "$WINDOW")" == *"rect=0,0,$1,$2 "* ]] && return
    sleep 0.1
  done
}

# The checks after a change to $1 x $2: the saver window and its scene over the whole screen,
# as Wine and as the X server see them. (The scene's X window is drawn off screen here, so a
# photograph of the screen cannot show what covers it.)
check_covers() {
  wait_for_size "$1" "$2"
  check "the X screen is $1x$2" "$(screen_size)" "$1x$2"
  check_match "the saver window covers it, still topmost" "$(driver describe "$WINDOW")" \
    "rect=0,0,$1,$2 client=$1,$2 .*exstyle=0x0000000[89]"
  check_match "the scene covers the primary monitor at its size" "$(driver children "$WINDOW")" \
    "class=OpenGL Window .*rect=0,0,$1,$2 client=$1,$2 "
  sleep 0.5
  tree=$(xwininfo -root -tree)
  check_match "so does the saver's X window" "$(grep '"Screen Saver":' <<<"$tree")" \
    " $1x$2\+0\+0 "
  check_match "and the scene's, the newest at the origin" \
    "$(grep -E '\+0\+0 +\+-1\+-1' <<<"$tree" | tail -n 1)" " $1x$2\+0\+0 "
  check "the same saver runs on" "$(alive) $(driver find WindowsScreenSaverClass 'Screen Saver')" \
    "yes $WINDOW"
}

xdotool mousemove 100 100
start_saver /s
WINDOW=$(saver_window)
sleep 1

driver mode 1280 1024
check_covers 1280 1024
# Behind Wine's back: no message comes, the saver finds the change itself.
xrandr -s 800x600 2>/dev/null
check_covers 800 600

close_with key space
check "a key still ends it with 0" "$EXIT_CODE" 0
finish
