# Sourced by the scripts that run Wine: the prefix's session, started, ended and restarted.
# The server is persistent so that each launch is cheap, and Wine's background services start
# detached from the caller's output pipes, so that nothing keeps a test runner waiting on them
# after its command has ended. Starting fails when a server of the prefix already runs.
start_wine() {
  wineserver -p </dev/null >/dev/null 2>&1 || return
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}
# The server may be gone already; that is no failure.
stop_wine() { wineserver -k >/dev/null 2>&1 || true; }
# Wine reads some settings (the DPI) only when its server starts.
restart_wine() {
  stop_wine
  start_wine || true
}
