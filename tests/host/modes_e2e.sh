#!/usr/bin/env bash
# Command-line modes of the real program and their exit codes.
source "$QUORVEL_SOURCE/tests/support/e2e.sh"

for switch in /x /1 /p "/p:12345" "/p 12345" "/l 12345" /a; do
  run_saver $switch
  check "exit code of '$switch'" "$EXIT_CODE" 255
  check "no saver window after '$switch'" "$(driver find WindowsScreenSaverClass '*')" ""
done

# A program path in quotes with blanks, then /s, runs full screen.
spaced="$QUORVEL_BUILD/e2e dir with blanks"
mkdir -p "$spaced"
cp "$SCR" "$spaced/quorvel.scr"
wine "$spaced/quorvel.scr" /s </dev/null >/dev/null 2>&1 &
SAVER_PID=$!
window=$(saver_window)
check_match "quoted path with blanks then /s makes a saver window" "$window" '^[0-9]+$'
check_match "the saver covers the screen, topmost" "$(driver describe "$window")" \
  'title=Screen Saver rect=0,0,1024,768 .*exstyle=0x0000000[89]'
xdotool key Escape
wait_exit 10
check "a key ends it with 0" "$EXIT_CODE" 0
end_leftover

# Switch spellings that all mean full screen.
for switch in /S -s s "  //s" "/s anything" /save; do
  start_saver $switch
  window=$(saver_window)
  check_match "'$switch' runs full screen" "$window" '^[0-9]+$'
  xdotool key space
  wait_exit 10
  check "'$switch' ends with 0" "$EXIT_CODE" 0
  end_leftover
done
finish
