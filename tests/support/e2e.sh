# Shared helpers of the end-to-end scripts: start the real saver under Wine the way the
# screen-saver control does, drive it with real X input and the test driver, and check.
set -u
: "${QUORVEL_BUILD:?}"
SCR="$QUORVEL_BUILD/quorvel.scr"
DRIVER="$QUORVEL_BUILD/qdriver.exe"
failures=0
checks=0

# Wine now and then ends a loaded process abnormally (an exit code past the driver's own 0-2): a
# query that met that and printed nothing is asked once more; a command that acts is not.
driver() {
  local out status
  case "$1" in
    text | checked | enabled | rect | find | findchild | describe | children | list | combo | moving) ;;
    *)
      wine "$DRIVER" "$@" 2>/dev/null | sed -u 's/\r$//'
      return "${PIPESTATUS[0]}"
      ;;
  esac
  for _ in 1 2; do
    out=$(wine "$DRIVER" "$@" 2>/dev/null)
    status=$?
    [ "$status" -le 2 ] || [ -n "$out" ] && break
  done
  [ -z "$out" ] || printf '%s\n' "${out//$'\r'/}"
  return "$status"
}

# Starts the saver in the background; its pid is in SAVER_PID.
start_saver() {
  wine "$SCR" "$@" </dev/null >/dev/null 2>&1 &
  SAVER_PID=$!
}

# Waits up to $1 seconds for the saver; sets EXIT_CODE to its exit code, or "running".
wait_exit() {
  local i
  for ((i = 0; i < $1 * 20; i++)); do
    if ! kill -0 "$SAVER_PID" 2>/dev/null; then
      EXIT_CODE=0
      wait "$SAVER_PID" || EXIT_CODE=$?
      return
    fi
    sleep 0.05
  done
  EXIT_CODE=running
}

# Runs the saver with the given switches to its end (at most 20 seconds); sets EXIT_CODE.
run_saver() { start_saver "$@" && wait_exit 20 && end_leftover; }

# Sends input ($@, an xdotool command) until the saver ends, at most five times: the first may
# reach the display before the saver holds the X focus. Sets EXIT_CODE.
close_with() {
  local i
  for i in 1 2 3 4 5; do
    xdotool "$@"
    wait_exit 4
    [ "$EXIT_CODE" = running ] || return 0
  done
  end_leftover
}

# Ends a saver that a failed check left running, so the next case starts clean.
end_leftover() {
  [ "$EXIT_CODE" = running ] || return 0
  kill "$SAVER_PID" 2>/dev/null
  wait "$SAVER_PID" 2>/dev/null
  EXIT_CODE="still running"
}

alive() { kill -0 "$SAVER_PID" 2>/dev/null && echo yes || echo no; }

# check WHAT ACTUAL EXPECTED: equal; check_match WHAT ACTUAL PATTERN: matches the pattern.
check() { verdict "$1" "$([ "$2" = "$3" ] && echo 1)" "got '$2', expected '$3'"; }
check_match() { verdict "$1" "$([[ "$2" =~ $3 ]] && echo 1)" "'$2' does not match '$3'"; }
verdict() {
  checks=$((checks + 1))
  [ -n "$2" ] && echo "ok: $1" && return
  echo "FAIL: $1: $3"
  failures=$((failures + 1))
}

# Prints the full-screen saver window once it exists and is the foreground window.
saver_window() {
  local window i
  window=$(driver find WindowsScreenSaverClass "Screen Saver" 15000)
  [ -n "$window" ] || return 0
  for ((i = 0; i < 100; i++)); do
    [ "$(driver foreground)" = "$window" ] && break
    sleep 0.1
  done
  echo "$window"
}

# Starts a top-level window of the driver ($1 x $2, living $3 ms) standing in for the control
# panel; its handle is in PARENT, its messages go to file $4.
start_parent() {
  wine "$DRIVER" parent "$1" "$2" "$3" >"$4" 2>/dev/null &
  PARENT_PID=$!
  local i
  for ((i = 0; i < 100; i++)); do
    PARENT=$(head -n 1 "$4" | tr -d '\r')
    [ -n "$PARENT" ] && return
    sleep 0.1
  done
}

# Starts the saver as a preview in a parent window of $1 x $2 whose messages go to file $3; the
# preview's handle is in PREVIEW once its creation (the scene build) has returned.
start_preview() {
  start_parent "$1" "$2" 60000 "$3"
  start_saver /p "$PARENT"
  PREVIEW=$(driver findchild "$PARENT" WindowsScreenSaverClass Preview 15000)
  local i
  for ((i = 0; i < 100; i++)); do
    [[ "$(driver describe "$PREVIEW")" == *visible=1* ]] && return
    sleep 0.1
  done
}

finish() {
  echo "$((checks - failures)) passed, $failures failed"
  [ "$failures" -eq 0 ]
}
