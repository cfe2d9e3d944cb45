#!/usr/bin/env bash
# The screen-saver password on the Windows 9x family, with a password library of the test's
# own (tests/support/dll_PASSWORD.CPL) that answers as answer.txt says and logs its loads and
# calls. The saver finds it in its working directory.
source "$QUORVEL_SOURCE/tests/support/e2e.sh"

APP_KEY='HKCU\Software\Wine\AppDefaults\quorvel.scr'
DESKTOP_KEY='HKCU\Control Panel\Desktop'
CRASH_KEY='HKCU\Software\Wine\WineDbg'
WITH_LIBRARY="$QUORVEL_BUILD/e2e-password"
WITHOUT_LIBRARY="$QUORVEL_BUILD/e2e-password/empty"
rm -rf "$WITH_LIBRARY"
mkdir -p "$WITHOUT_LIBRARY"
cp "$QUORVEL_BUILD/tests/PASSWORD.CPL" "$WITH_LIBRARY/"

cleanup() {
  wine reg delete "$APP_KEY" /v Version /f >/dev/null 2>&1
  wine reg delete "$DESKTOP_KEY" /v ScreenSaveUsePassword /f >/dev/null 2>&1
  wine reg delete "$CRASH_KEY" /v ShowCrashDialog /f >/dev/null 2>&1
}
trap cleanup EXIT

platform() {
  if [ "$1" = 9x ]; then
    wine reg add "$APP_KEY" /v Version /d win98 /f >/dev/null 2>&1
  else
    wine reg delete "$APP_KEY" /v Version /f >/dev/null 2>&1
  fi
}
use_password() {
  wine reg add "$DESKTOP_KEY" /v ScreenSaveUsePassword /t REG_DWORD /d "$1" /f >/dev/null 2>&1
}
answer() { echo "$1" >"$WITH_LIBRARY/answer.txt"; }
lines() { if [ -f "$WITH_LIBRARY/$1" ]; then wc -l <"$WITH_LIBRARY/$1"; else echo 0; fi; }
calls() { lines calls.log; }
loads() { lines loads.log; }
running() { driver saverrunning; }
alive() { kill -0 "$SAVER_PID" 2>/dev/null && echo yes || echo no; }

# Waits up to 5 seconds for the verifier to have been called $1 times.
wait_calls() {
  local i
  for ((i = 0; i < 50; i++)); do
    [ "$(calls)" -ge "$1" ] && return
    sleep 0.1
  done
}

# Starts full screen in folder $1 and waits for the window.
start_in() {
  cd "$1" || exit 1
  start_saver /s
  saver_window >/dev/null
  sleep 0.5
}

platform 9x
use_password 1
cd "$WITH_LIBRARY" || exit 1
check "the lock is off before the saver runs" "$(running)" 0

# A refused password keeps the saver; the Enter that closed the dialog asks nothing more.
answer refuse-typing
start_in "$WITH_LIBRARY"
check "the library is loaded once" "$(loads)" 1
check "the system keys are locked while it runs" "$(running)" 1
xdotool key a
wait_calls 1
sleep 0.5
check "a key asks for the password once" "$(calls)" 1
check_match "the verifier is given the saver window" "$(head -n 1 "$WITH_LIBRARY/calls.log")" \
  ' WindowsScreenSaverClass '
check "a refusal keeps the saver running" "$(alive)" yes
check "with the cursor hidden" "$(driver cursorinfo)" "cursor=0 flags=0x1"
check "the system keys stay locked" "$(running)" 1

# A key later than 200 ms asks again; an accepted password closes.
answer refuse
xdotool key b
wait_calls 2
check "a later key asks again" "$(calls)" 2
sleep 0.3
answer accept
xdotool key c
wait_exit 10
end_leftover
check "an accepted password ends the saver with 0" "$EXIT_CODE" 0
check "after three questions" "$(calls)" 3
check "the lock is released at the end" "$(running)" 0

# No password wanted: the first key closes, nothing is loaded or locked.
use_password 0
start_in "$WITH_LIBRARY"
check "without the value nothing locks" "$(running)" 0
xdotool key a
wait_exit 10
end_leftover
check "without the value the first key closes" "$EXIT_CODE" 0
check "without the value the library is not loaded" "$(loads) $(calls)" "1 3"

# A password wanted but no library to ask it with: the same.
use_password 1
start_in "$WITHOUT_LIBRARY"
check "without the library nothing locks" "$(running)" 0
xdotool key a
wait_exit 10
end_leftover
check "without the library the first key closes" "$EXIT_CODE" 0

# Preview never loads the library.
cd "$WITH_LIBRARY" || exit 1
wine "$DRIVER" parent 200 150 4000 >"$WITH_LIBRARY/parent.txt" 2>/dev/null &
parent_pid=$!
for _ in $(seq 50); do [ -s "$WITH_LIBRARY/parent.txt" ] && break; sleep 0.1; done
parent=$(tr -d '\r\n' <"$WITH_LIBRARY/parent.txt")
start_saver /p "$parent"
check_match "the preview runs" "$(driver findchild "$parent" WindowsScreenSaverClass Preview 15000)" \
  '^[0-9]+$'
xdotool key a
sleep 0.5
check "preview does not lock the system keys" "$(running)" 0
wait_exit 20
end_leftover
check "preview ends with its parent" "$EXIT_CODE" 0
check "preview never loaded the library" "$(loads) $(calls)" "1 3"
wait "$parent_pid" 2>/dev/null

# The change-password switch is the 9x family's alone.
run_saver /a
check "/a ends with 0 on the 9x family" "$EXIT_CODE" 0
run_saver /a 12345
check "/a with no such window ends with 0" "$EXIT_CODE" 0

# While the platform's dialog is up, a close request is refused and asks nothing more.
answer ask
start_in "$WITH_LIBRARY"
window=$(saver_window)
xdotool key a
check_match "the password dialog is up" "$(driver find "#32770" "Screen saver password" 5000)" \
  '^[0-9]+$'
driver post "$window" 0x0010 0 0
sleep 0.5
check "a close request during the dialog is refused" "$(alive)" yes
check "and asks nothing more" "$(calls)" 4
driver msgok "Screen saver password"
wait_exit 10
end_leftover
check "the dialog's acceptance ends the saver with 0" "$EXIT_CODE" 0
check "after one question" "$(calls)" 4

# A crash inside the saver still releases the lock.
wine reg add "$CRASH_KEY" /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
answer raise
start_in "$WITH_LIBRARY"
check "locked before the crash" "$(running)" 1
xdotool key a
wait_exit 60
end_leftover
check_match "the crash ends the saver" "$EXIT_CODE" '^[0-9]+$'
check "a crash releases the lock" "$(running)" 0

# A saver that cannot make its OpenGL window (a display without GLX) ends with 1 and still
# releases the lock.
answer refuse
Xvfb -displayfd 3 -screen 0 640x480x24 -extension GLX -nolisten tcp \
  3>"$WITH_LIBRARY/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$WITH_LIBRARY/display" ] && break; sleep 0.1; done
DISPLAY=":$(tr -d '[:space:]' <"$WITH_LIBRARY/display")" start_saver /s
check_match "no OpenGL: the error box" "$(driver find "#32770" "Error Creating Window" 15000)" \
  '^[0-9]+$'
check "locked until then" "$(running)" 1
driver msgok "Error Creating Window"
wait_exit 10
end_leftover
check "no OpenGL ends the saver with 1" "$EXIT_CODE" 1
check "no OpenGL releases the lock" "$(running)" 0
kill "$xvfb_pid"
wait "$xvfb_pid" 2>/dev/null

# The NT family protects the desktop itself: no library, no question.
platform nt
answer refuse
loaded=$(loads)
start_in "$WITH_LIBRARY"
check "on NT the keys are not locked" "$(running)" 0
xdotool key a
wait_exit 10
end_leftover
check "on NT the first key closes" "$EXIT_CODE" 0
check "on NT the library is never loaded" "$(loads)" "$loaded"
run_saver /a
check "/a ends with -1 on the NT family" "$EXIT_CODE" 255
finish
