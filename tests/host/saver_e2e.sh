#!/usr/bin/env bash
# The real saver started the way the screen-saver control starts it: switches and exit codes,
# the full-screen window, a second start, and real input from the virtual display.
source "$QUORVEL_SOURCE/tests/support/e2e.sh"

# Switches that name no usable mode end at once with 255.
for switch in /x "/p 12345" "/p:12345" /a; do
  run_saver $switch
  check "exit code of '$switch'" "$EXIT_CODE" 255
done
check "none of them made a saver window" "$(driver find WindowsScreenSaverClass '*')" ""

# Full screen from a quoted program path with blanks, the switch followed by more text.
spaced="$QUORVEL_BUILD/e2e dir with blanks"
mkdir -p "$spaced"
cp "$SCR" "$spaced/quorvel.scr"
xdotool mousemove 500 400
SCR="$spaced/quorvel.scr" start_saver /s anything
window=$(saver_window)
check_match "a full-screen topmost saver window" "$(driver describe "$window")" \
  'class=WindowsScreenSaverClass title=Screen Saver rect=0,0,1024,768 .*exstyle=0x0000000[89]'
check_match "the OpenGL child covers its client area" "$(driver children "$window")" \
  'class=OpenGL Window .*client=1024,768 .*visible=1'

# A second start brings the first to the front and ends with 0 without a window of its own.
wine "$SCR" /s </dev/null >/dev/null 2>&1
check "a second /s ends with 0" "$?" 0
check "the first saver still runs, alone" \
  "$(alive) $(driver find WindowsScreenSaverClass 'Screen Saver')" "yes $window"
close_with mousemove_relative 3 2
check "moving the mouse over the scene ends the saver with 0" "$EXIT_CODE" 0

start_saver -S
saver_window >/dev/null
close_with key a
check "a key ends the saver with 0" "$EXIT_CODE" 0
finish
