# Shared helpers of the end-to-end scripts: start the real saver under Wine the way the
# screen-saver control does, drive it with real X input and the test driver, and check.
set -u
: "${QUORVEL_BUILD:?}"
SCR="$QUORVEL_BUILD/quorvel.scr"
DRIVER="$QUORVEL_BUILD/qdriver.exe"
failures=0
checks=0

driver() { wine "$DRIVER" "$@" 2>/dev/null | tr -d '\r'; }

# Starts the saver in the background; its pid is in SAVER_PID.
start_saver() {
  wine "$SCR" "$@" </dev/null >/dev/null 2>&1 &
  SAVER_PID=$!
}

# Waits up to $2 seconds for process $1; prints its exit code, or "running".
wait_exit() {
  local pid=$1 limit=$2 i
  for ((i = 0; i < limit * 10; i++)); do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid"
      echo $?
      return
    fi
    sleep 0.1
  done
  echo running
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

saver_window() { driver find WindowsScreenSaverClass "Screen Saver" "${1:-15000}"; }

finish() {
  echo "$((checks - failures)) passed, $failures failed"
  [ "$failures" -eq 0 ]
}
