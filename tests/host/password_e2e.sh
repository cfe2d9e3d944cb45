#!/usr/bin/env bash
# The screen-saver password on the Windows 9x family, with a password library of the test's
# own (tests/support/dll_PASSWORD.CPL) that answers as answer.txt says and logs its loads and
# calls ("tick window-class answer"). The saver finds it in its working directory.
source "$QUORVEL_SOURCE/tests/support/e2e.sh"

APP_KEY='HKCU\Software\Wine\AppDefaults\quorvel.scr'
DESKTOP_KEY='HKCU\Control Panel\Desktop'
CRASH_KEY='HKCU\Software\Wine\WineDbg'
HERE="$QUORVEL_BUILD/e2e-password"
rm -rf "$HERE"
mkdir -p "$HERE"
cp "$QUORVEL_BUILD/tests/PASSWORD.CPL" "$HERE/"
cd "$HERE" || exit 1
# The 9x family for the saver, a password wanted, and no crash dialog.
values=("$APP_KEY" Version REG_SZ win98 "$DESKTOP_KEY" ScreenSaveUsePassword REG_DWORD 1
  "$CRASH_KEY" ShowCrashDialog REG_DWORD 0)
for ((i = 0; i < 12; i += 4)); do
  wine reg add "${values[i]}" /v "${values[i + 1]}" /t "${values[i + 2]}" /d "${values[i + 3]}" /f
done >/dev/null 2>&1
trap 'for ((i = 0; i < 12; i += 4)); do wine reg delete "${values[i]}" /v "${values[i + 1]}" /f
  done >/dev/null 2>&1' EXIT

answer() { echo "$1" >answer.txt; }
lines() { if [ -f "$1" ]; then wc -l <"$1"; else echo 0; fi; }
call() { sed -n "$1p" calls.log | cut -d' ' -f2-; }
locked() { driver saverrunning; }
# Waits up to 10 seconds for the verifier's call number $1.
wait_call() {
  local i
  for ((i = 0; i < 200 && $(lines calls.log) < $1; i++)); do sleep 0.05; done
}
# Input at least 200 ms after the last password dialog closed is not taken for its own.
after_guard() { sleep 0.3; }

check "the system keys are free before the saver runs" "$(locked)" 0
answer refuse-typing
start_saver /s
saver_window >/dev/null
check "the library is loaded once" "$(lines loads.log)" 1
check "the system keys are locked while it runs" "$(locked)" 1
xdotool key a
wait_call 1
check "a key asks the password of the saver window" "$(call 1)" \
  "WindowsScreenSaverClass refuse-typing"
# The library typed Enter as its dialog closed; that key reaches the saver at once and must
# not ask again. Input over the scene is asked about for the saver window too.
after_guard
answer refuse
xdotool click 1
wait_call 2
check "a click over the scene asks next" "$(call 2)" "WindowsScreenSaverClass refuse"
check "a refusal keeps the saver running, the cursor hidden" "$(alive) $(driver cursorinfo)" \
  "yes cursor=0 flags=0x1"
check "the system keys stay locked" "$(locked)" 1
after_guard
xdotool mousemove_relative 5 0
wait_call 3
check "a mouse move over the scene asks too" "$(call 3)" "WindowsScreenSaverClass refuse"
after_guard
answer accept
start_parent 200 150 1000 parent.txt
wait_exit 20
end_leftover
check "losing the front to another window asks; acceptance ends the saver with 0" \
  "$(call 4) $EXIT_CODE" "WindowsScreenSaverClass accept 0"
check "the lock is released at the end" "$(locked)" 0
wait "$PARENT_PID"

# While the platform's dialog is up, a close request is refused and asks nothing more.
answer ask
start_saver /s
window=$(saver_window)
xdotool key a
check_match "the password dialog is up" "$(driver find "#32770" "Screen saver password" 15000)" \
  '^[0-9]+$'
# Posted messages are handled in order: the close request comes before the click on OK.
driver post "$window" 0x0010 0 0
driver msgok "Screen saver password"
wait_exit 20
end_leftover
check "a close request during the dialog asks nothing; the dialog's OK ends the saver with 0" \
  "$(lines calls.log) $EXIT_CODE" "5 0"

# A crash inside the saver still releases the lock.
answer raise
start_saver /s
saver_window >/dev/null
check "locked before the crash" "$(locked)" 1
close_with key a
check_match "the crash ends the saver" "$EXIT_CODE" '^[1-9][0-9]*$'
check "a crash releases the lock" "$(locked)" 0

# A saver that cannot make its OpenGL window (a display without GLX) says why, ends with 1 and
# still releases the lock.
Xvfb -displayfd 3 -screen 0 640x480x24 -extension GLX -nolisten tcp 3>display \
  >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s display ] && break; sleep 0.1; done
DISPLAY=":$(tr -d '[:space:]' <display)" start_saver /s
check "no OpenGL: the box says why" "$(driver msgbox "Error Creating Window" 15000 | tail -n +2)" \
  "Sorry dude. Can't get a pixel format."
check "locked until then" "$(locked)" 1
driver msgok "Error Creating Window"
wait_exit 20
end_leftover
check "no OpenGL ends the saver with 1 and releases the lock" "$EXIT_CODE $(locked)" "1 0"
kill "$xvfb_pid"

run_saver /a 12345
check "/a ends with 0 on the 9x family" "$EXIT_CODE" 0
finish
