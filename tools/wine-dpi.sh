# Sourced by scripts that run inside the Wine wrapper: switches the prefix's DPI, which Wine
# reads when its server starts, and puts the user's setting back afterwards.
source "$(dirname "${BASH_SOURCE[0]}")/wine-session.sh"
DPI_KEY='HKCU\Control Panel\Desktop'
SAVED_DPI=$(wine reg query "$DPI_KEY" /v LogPixels 2>/dev/null | tr -d '\r' |
  sed -n 's/.*REG_DWORD *0x\([0-9a-fA-F]*\).*/\1/p' || true)

set_dpi() {
  wine reg add "$DPI_KEY" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  restart_wine
}

restore_dpi() {
  if [ -n "$SAVED_DPI" ]; then
    wine reg add "$DPI_KEY" /v LogPixels /t REG_DWORD /d "$((16#$SAVED_DPI))" /f >/dev/null 2>&1
  else
    wine reg delete "$DPI_KEY" /v LogPixels /f >/dev/null 2>&1 || true
  fi
  restart_wine
}
