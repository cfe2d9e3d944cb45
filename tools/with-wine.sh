#!/usr/bin/env bash
# Runs a command with the build's Wine prefix, a persistent wineserver and a virtual X display
# of its own (1024x768, 24-bit, GLX), or the user's display when QUORVEL_USE_DISPLAY=1.
# Usage: with-wine.sh BUILD_DIR COMMAND...
set -euo pipefail
source "$(dirname "$0")/wine-session.sh"
build=$(realpath "$1")
shift
export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
: "${QUORVEL_SCREEN:=1024x768x24}"

xvfb=""
if [ "${QUORVEL_USE_DISPLAY:-0}" != 1 ]; then
displayfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 "$QUORVEL_SCREEN" +extension GLX ${QUORVEL_XVFB_FLAGS:-} -nolisten tcp 3>"$displayfile" \
  >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$displayfile" ] && break; sleep 0.1; done
[ -s "$displayfile" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(tr -d '[:space:]' <"$displayfile")"
rm -f "$displayfile"
fi

cleanup() {
  stop_wine
  if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; fi
}
trap cleanup EXIT

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
fi
start_wine
"$@"
