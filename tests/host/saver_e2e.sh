#!/usr/bin/env bash
# The real saver started the way the screen-saver control starts it: switches and exit codes,
# the full-screen window, a second start, real input from the virtual display, and the preview
# inside a window of the test driver standing in for the control panel.
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

log="$QUORVEL_BUILD/e2e-parent.txt"
start_preview 320 240 "$log"
preview=$PREVIEW
check_match "the preview is a child of the parent, of the parent's client size" \
  "$(driver describe "$preview")" "title=Preview .*client=320,240 style=0x5[0-9a-f]+ .*parent=$PARENT"
check_match "the OpenGL child sits inside it" "$(driver children "$preview")" \
  'class=OpenGL Window .*client=320,240'
xdotool mousemove 30 60 mousemove 200 200 key a click 1
# The control panel's context menu and help, forwarded with the parent's own handle; help
# carries a pointer to where it was asked for, which must arrive whole.
driver post "$preview" 0x007B 0 0 >/dev/null
driver help "$preview" >/dev/null
for _ in $(seq 50); do grep -q WM_HELP "$log" && grep -q WM_CONTEXTMENU "$log" && break; sleep 0.1; done
check_match "WM_CONTEXTMENU reaches the parent with its own handle" "$(cat "$log")" \
  "WM_CONTEXTMENU wparam=$PARENT"
check_match "WM_HELP reaches the parent with its own handle and the help details" \
  "$(cat "$log")" "WM_HELP wparam=$PARENT context=4321 at=12,34"
check "no input closed the preview" "$(alive)" yes
# The control panel resizes its window without a word to the preview, which follows.
driver resize "$PARENT" 480 360
for _ in $(seq 50); do [[ "$(driver describe "$preview")" == *client=480,360* ]] && break; sleep 0.1; done
check_match "the preview follows its resized parent" "$(driver describe "$preview")" "client=480,360 "
check_match "its scene too" "$(driver children "$preview")" 'class=OpenGL Window .*client=480,360 '
# The control panel closes its window; the preview ends with it.
driver post "$PARENT" 0x0010 0 0
wait_exit 15
end_leftover
check "the preview ends with its parent, exit code 0" "$EXIT_CODE" 0
finish
