#!/usr/bin/env bash
# Photographs the configuration dialog for the README, inside the Wine wrapper:
#   tools/with-wine.sh build tools/dialog-shot.sh build [OUT_PNG]
# The dialog shows a small media folder and a countdown; the user's settings are put back.
set -euo pipefail
build=$(realpath "$1")
out=$(realpath -m "${2:-$build/snapshots/dialog.png}")
work="$build/dialog-shot"
key='HKCU\Software\Plinthwax\QUORVEL'
mkdir -p "$(dirname "$out")" "$work/media/Holiday films"
touch "$work/media/arrival.avi" "$work/media/"{harbour,lantern,orchard}.bmp
driver() { wine "$build/qdriver.exe" "$@" 2>/dev/null | tr -d '\r'; }

saved=no
wine reg export "$key" "$(winepath -w "$work/saved.reg")" /y >/dev/null 2>&1 && saved=yes
wine reg delete "$key" /f >/dev/null 2>&1 || true
media=$(winepath -w "$work/media" 2>/dev/null | tr -d '\r')
cat >"$work/demo.reg" <<REG
REGEDIT4

[HKEY_CURRENT_USER\\Software\\Plinthwax\\QUORVEL]
"AVI Path"="${media//\\/\\\\}\\\\"
"Play AVIs"=dword:00000001
"CountToYear"=dword:000007ea
"CountToMonth"=dword:00000008
"CountToDay"=dword:00000011
"CountMessage"="The robot returns in"
"Mekan Colour"=dword:00000006
REG
wine reg import "$(winepath -w "$work/demo.reg")" >/dev/null 2>&1

wine "$build/quorvel.scr" /c </dev/null >/dev/null 2>&1 &
dialog_pid=$!
dialog=$(driver dialog 1019 15000)
sleep 1
[[ "$(driver describe "$dialog")" =~ rect=(-?[0-9]+),(-?[0-9]+),(-?[0-9]+),(-?[0-9]+) ]]
left=${BASH_REMATCH[1]} top=${BASH_REMATCH[2]}
width=$((BASH_REMATCH[3] - left)) height=$((BASH_REMATCH[4] - top))
import -window root -crop "${width}x${height}+${left}+${top}" +repage "$out"
driver click "$dialog" 2
wait "$dialog_pid" || true

wine reg delete "$key" /f >/dev/null 2>&1 || true
if [ "$saved" = yes ]; then wine reg import "$(winepath -w "$work/saved.reg")" >/dev/null 2>&1; fi
echo "Dialog picture in $out"
