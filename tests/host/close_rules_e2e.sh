#!/usr/bin/env bash
# What ends a full-screen saver, with real input in the virtual display.
source "$QUORVEL_SOURCE/tests/support/e2e.sh"

# Starts a saver with the cursor parked at 500,400 and waits until it takes input.
fresh_saver() {
  xdotool mousemove 500 400
  start_saver /s
  WINDOW=$(saver_window)
  xdotool mousemove 500 400
  sleep 0.5
}

# Sends input ($@ is an xdotool command), then expects the saver to end with 0 or to stay.
expect_close() {
  local what=$1
  shift
  fresh_saver
  xdotool "$@"
  wait_exit 10
  check "$what closes the saver" "$EXIT_CODE" 0
  end_leftover
}

expect_stay() {
  local what=$1
  shift
  xdotool "$@"
  sleep 3
  check "$what leaves the saver running" "$(kill -0 "$SAVER_PID" 2>/dev/null && echo running)" running
}

fresh_saver
check_match "class, title, full screen and topmost" "$(driver describe "$WINDOW")" \
  'class=WindowsScreenSaverClass title=Screen Saver rect=0,0,1024,768 .*exstyle=0x0000000[89]'
check_match "the OpenGL child covers the client area" "$(driver children "$WINDOW")" \
  'class=OpenGL Window .*client=1024,768 .*visible=1'
expect_stay "a key release" keyup shift
expect_stay "a wheel turn" click 4
expect_stay "a 4-pixel move (2 right, 2 down)" mousemove 502 402
xdotool mousemove 503 402
wait_exit 10
check "one pixel more closes the saver" "$EXIT_CODE" 0
end_leftover

fresh_saver
expect_stay "a first 3-pixel move" mousemove 503 400
xdotool mousemove 506 400
wait_exit 10
check "a second 3-pixel move closes (the anchor stays put)" "$EXIT_CODE" 0
end_leftover

expect_close "a key" key a
expect_close "the left button" click 1
expect_close "the right button" click 3
expect_close "the middle button" click 2

# Loss of activation: another window comes to the front.
fresh_saver
driver parent 200 150 5000 >/dev/null &
wait_exit 10
check "loss of activation closes the saver" "$EXIT_CODE" 0
end_leftover
wait

# A second full-screen start brings the first to the front and exits 0 without a window.
fresh_saver
first=$SAVER_PID
wine "$SCR" /s </dev/null >/dev/null 2>&1
check "a second /s exits with 0" "$?" 0
check "the first saver still runs" "$(kill -0 "$first" 2>/dev/null && echo running)" running
check "only one saver window exists" "$(driver find WindowsScreenSaverClass 'Screen Saver')" "$WINDOW"
xdotool key a
wait_exit 10
check "the first saver closes on a key" "$EXIT_CODE" 0
end_leftover
finish
