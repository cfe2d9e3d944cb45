# Shared helpers of the end-to-end scripts: start the real saver under Wine the way the
# screen-saver control does, drive it with real X input and the test driver, and check.
set -u
: "${QUORVEL_BUILD:?}"
SCR="$QUORVEL_BUILD/quorvel.scr"
DRIVER="$QUORVEL_BUILD/qdriver.exe"
failures=0
checks=0

driver() { wine "$DRIVER" "$@" 2>/dev/null | sed -u 's/\r$//'; }

# Starts the saver in the background; its pid is in SAVER_PID.
start_saver() {
  wine "$SCR" "$@" </dev/null >/dev/null 2>&1 &
  SAVER_PID=$!
}

# Waits up to $1 seconds for the saver; sets EXIT_CODE to its exit code, or "running".
wait_exit() {
  local limit=$1 i
  for ((i = 0; i < limit * 10; i++)); do
    if ! kill -0 "$SAVER_PID" 2>/dev/null; then
      EXIT_CODE=0
      wait "$SAVER_PID" || EXIT_CODE=$?
      return
    fi
    sleep 0.1
  done
  EXIT_CODE=running
}

# Runs the saver with the given switches to its end (at most 20 seconds); sets EXIT_CODE.
run_saver() {
  start_saver "$@"
  wait_exit 20
  [ "$EXIT_CODE" = running ] && stop_saver
  return 0
}

# Ends a saver that a failed check left running, so the next case starts clean.
end_leftover() {
  [ "$EXIT_CODE" = running ] && stop_saver
  return 0
}

stop_saver() {
  kill "$SAVER_PID" 2>/dev/null || true
  wait "$SAVER_PID" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  wineserver -p 2>/dev/null || true
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

check() {
  local what=$1 actual=$2 expected=$3
  checks=$((checks + 1))
  if [ "$actual" != "$expected" ]; then
    echo "FAIL: $what: got '$actual', expected '$expected'"
    failures=$((failures + 1))
  else
    echo "ok: $what"
  fi
}

check_match() {
  local what=$1 actual=$2 pattern=$3
  checks=$((checks + 1))
  if [[ "$actual" =~ $pattern ]]; then
    echo "ok: $what"
  else
    echo "FAIL: $what: '$actual' does not match '$pattern'"
    failures=$((failures + 1))
  fi
}

# Prints the full-screen saver window once it exists and is the foreground window, so that
# input sent next reaches it.
saver_window() {
  local window i
  window=$(driver find WindowsScreenSaverClass "Screen Saver" "${1:-15000}")
  [ -n "$window" ] || return 0
  for ((i = 0; i < 50; i++)); do
    [ "$(driver foreground)" = "$window" ] && break
    sleep 0.1
  done
  sleep 0.5
  echo "$window"
}

finish() {
  echo "$((checks - failures)) passed, $failures failed"
  [ "$failures" -eq 0 ]
}
