#!/usr/bin/env bash
# Preview mode inside a window made by the test driver.
source "$QUORVEL_SOURCE/tests/support/e2e.sh"

log=$(mktemp)
driver parent 320 240 12000 >"$log" &
parent_job=$!
for _ in $(seq 100); do [ -s "$log" ] && break; sleep 0.1; done
parent=$(head -n1 "$log" | tr -d '\r')
check_match "the driver made a parent window" "$parent" '^[0-9]+$'

start_saver /p "$parent"
preview=$(driver findchild "$parent" WindowsScreenSaverClass Preview 15000)
check_match "a child titled Preview exists" "$preview" '^[0-9]+$'
# The window becomes visible once its creation (the scene build) has returned.
for _ in $(seq 100); do [[ "$(driver describe "$preview")" == *visible=1* ]] && break; sleep 0.1; done
check_match "it is a child of the parent, of the parent's client size" \
  "$(driver describe "$preview")" "title=Preview .*client=320,240 style=0x5[0-9a-f]+ .*parent=$parent"
check_match "the OpenGL child sits inside it" "$(driver children "$preview")" \
  'class=OpenGL Window .*client=320,240'

sleep 1
xdotool mousemove 30 60 mousemove 200 200 key a click 1
sleep 1.5
check "no input closes the preview" "$(kill -0 "$SAVER_PID" 2>/dev/null && echo running)" running

# The control panel's context menu and help, forwarded with the parent's own handle; help
# carries a pointer to where it was asked for, which must arrive whole.
driver post "$preview" 0x007B 0 0 >/dev/null
driver help "$preview" >/dev/null
for _ in $(seq 50); do grep -q WM_HELP "$log" && grep -q WM_CONTEXTMENU "$log" && break; sleep 0.1; done
check_match "WM_CONTEXTMENU reaches the parent with its own handle" "$(cat "$log")" \
  "WM_CONTEXTMENU wparam=$parent"
check_match "WM_HELP reaches the parent with its own handle and the help details" \
  "$(cat "$log")" "WM_HELP wparam=$parent context=4321 at=12,34"

# The driver destroys the parent when its lifetime ends; the preview must end with it.
wait "$parent_job"
wait_exit 15
check "the preview ends with its parent, exit code 0" "$EXIT_CODE" 0
end_leftover
rm -f "$log"
finish
