#!/usr/bin/env bash
# The release as a Windows user and an administrator meet it: the package made twice to the
# same bytes, a silent install into the system folder with its uninstall entry, the installed
# saver's dialog and full screen, the property that makes it the current saver, an upgrade in
# place, a refused downgrade, and uninstalls that take everything they put there but leave the
# user's settings unless asked to remove them.
source "$QUORVEL_SOURCE/tests/support/e2e.sh"

out="$QUORVEL_BUILD/e2e-dist"
rm -rf "$out"
number() { sed -nE "s/^#define QUORVEL_VERSION_$1 ([0-9]+)$/\1/p" "$QUORVEL_SOURCE/resources/version.h"; }
version=$(number MAJOR).$(number MINOR).$(number PATCH)
later=$(($(number MAJOR) + 1)).0.0
LATER_SCR="$QUORVEL_BUILD/tests/quorvel_later.scr"
dist() { bash "$QUORVEL_SOURCE/tools/dist/dist.sh" "$QUORVEL_BUILD" "$@" >/dev/null; }
dist "$out/first"
# Another time, clock, zone and file mode creation mask: the bytes must not follow them.
sleep 1
(umask 077 && TZ=Pacific/Kiritimati dist "$out/second")
dist "$out/later" "$LATER_SCR" "$later"
MSI="$out/first/QUORVEL-$version-win64.msi"
LATER_MSI="$out/later/QUORVEL-$later-win64.msi"

# What ships.
check "the release holds the package, the zip and their checksums" "$(ls "$out/first" | paste -sd' ')" \
  "QUORVEL-$version-win64.msi QUORVEL-$version-win64.zip SHA256SUMS"
check "the checksums hold" "$(cd "$out/first" && sha256sum --quiet -c SHA256SUMS 2>&1)" ""
check "a second run gives the same bytes" "$(cmp "$out/first/SHA256SUMS" "$out/second/SHA256SUMS" &&
  cmp "$MSI" "$out/second/QUORVEL-$version-win64.msi" && echo same)" same
check "a saver whose version resource disagrees is refused" \
  "$(dist "$out/mismatch" "$QUORVEL_BUILD/quorvel.scr" "$later" 2>/dev/null || echo refused)$(ls "$out/mismatch" 2>/dev/null)" \
  refused
check "the zip holds the saver, the read-me and the licence" \
  "$(zip -sf "$out/first/QUORVEL-$version-win64.zip" | sed -n 's/^  //p' | paste -sd' ')" \
  "quorvel.scr README.txt LICENSE.txt"
# Only the system's own libraries: the package brings no runtime, so the saver needs none.
for binary in quorvel.scr quorvel_setup.dll; do
  imports=$(x86_64-w64-mingw32-objdump -p "$QUORVEL_BUILD/$binary" | sed -n 's/^\tDLL Name: //p' |
    tr '[:upper:]' '[:lower:]' | sort | paste -sd' ')
  check_match "$binary imports only system libraries ($imports)" "$imports" \
    '^((advapi32|avifil32|comdlg32|gdi32|glu32|imm32|kernel32|msvcrt|msvfw32|ole32|oleaut32|opengl32|shell32|user32|windowscodecs|winmm)\.dll ?)+$'
done
property() { msiinfo export "$1" Property | tr -d '\r' | sed -n "s/^$2\t//p"; }
check "the package's version, name and maker" \
  "$(property "$MSI" ProductVersion) $(property "$MSI" ProductName) $(property "$MSI" Manufacturer)" \
  "$version QUORVEL Plinthwax"
# wixl numbers the standard actions; ours come where they must: the install level set before
# costing, the old version removed before this one installs, the settings forgotten last.
order=$(msiinfo export "$MSI" InstallExecuteSequence | tr -d '\r' | awk -F '\t' 'NR > 3 { print $3, $1 }' |
  sort -n | cut -d' ' -f2 | paste -sd' ')
check_match "the install sequence in its order" "$order" \
  ' FileCost MakeCurrent CostFinalize .* InstallValidate RemoveExistingProducts InstallInitialize .* ForgetSettings InstallFinalize$'

# Installing and removing under Wine, as an administrator would, silently.
INSTALLED="$WINEPREFIX/drive_c/windows/system32/quorvel.scr"
UNINSTALL='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
DESKTOP='HKCU\Control Panel\Desktop'
SETTINGS_KEY='HKCU\Software\Plinthwax\QUORVEL'
msiexec() {
  local file=$2
  wine msiexec "$1" "Z:${file//\//\\}" /qn "${@:3}" </dev/null >/dev/null 2>&1
}
# Whatever happens, the prefix is left without the package and with no saver of ours set.
cleanup() {
  msiexec /x "$LATER_MSI"
  msiexec /x "$MSI"
  wine reg delete "$DESKTOP" /v SCRNSAVE.EXE /f >/dev/null 2>&1
  wine reg delete "$DESKTOP" /v ScreenSaveActive /f >/dev/null 2>&1
}
trap cleanup EXIT
cleanup
# named KEY NAME FIELD...: for each key under KEY whose value NAME is QUORVEL, its FIELDs
# joined by '|', one line each.
named() {
  wine reg query "$1" /s 2>/dev/null | tr -d '\r' | awk -F '    ' -v name="$2" -v fields="${*:3}" '
    function flush(  line, i) {
      if (value[name] == "QUORVEL") {
        for (i = 1; i <= count; i++) line = line (i > 1 ? "|" : "") value[field[i]]
        print line
      }
      delete value
    }
    BEGIN { count = split(fields, field, " ") }
    /^HKEY/ { flush() }
    NF >= 4 { value[$2] = $4 }
    END { flush() }'
}
entries() { named "$UNINSTALL" DisplayName DisplayVersion Publisher; }
desktop() { wine reg query "$DESKTOP" /v "$1" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$1 *REG_SZ *//p"; }
user_settings() { wine reg query "$SETTINGS_KEY" 2>/dev/null | tr -d '\r' | grep '    REG_'; }

msiexec /i "$MSI"
check "a silent install succeeds" "$?" 0
check "the saver is in the system folder" "$(cmp "$QUORVEL_BUILD/quorvel.scr" "$INSTALLED" && echo yes)" yes
check "one uninstall entry, with version and publisher" "$(entries)" "$version|Plinthwax"
icon=$(winepath -u "$(named 'HKLM\Software\Classes\Installer\Products' ProductName ProductIcon)" 2>/dev/null)
check "the entry's icon is the program's" "$(cmp "$QUORVEL_BUILD/gen/quorvel.ico" "$icon" && echo yes)" yes
check "the saver is not made the current one unless asked" \
  "$(desktop SCRNSAVE.EXE)$(desktop ScreenSaveActive)" ""

# The installed saver: its dialog (OK saves the user's settings) and full screen.
SCR='C:\windows\system32\quorvel.scr'
start_saver /c
dialog=$(driver dialog 1019 15000)
driver click "$dialog" 1
wait_exit 20
end_leftover
check "the installed saver's dialog ends with OK, exit code 1" "$EXIT_CODE" 1
settings=$(user_settings)
check_match "the dialog saved the user's settings" "$settings" 'CountToYear +REG_DWORD'
start_saver /s
saver_window >/dev/null
close_with key a
check "the installed saver runs full screen until a key" "$EXIT_CODE" 0

msiexec /x "$MSI"
check "a silent uninstall succeeds" "$?" 0
check "the file and the entry are gone" "$([ -e "$INSTALLED" ] && echo file)$(entries)" ""
check "the user's settings stay" "$(user_settings)" "$settings"

# Made the current saver on request; an upgrade keeps it so, in place of the old version.
msiexec /i "$MSI" SETASCURRENT=1
check "SETASCURRENT=1 makes it the current saver" \
  "$(desktop SCRNSAVE.EXE) $(desktop ScreenSaveActive)" 'C:\windows\system32\quorvel.scr 1'
msiexec /i "$LATER_MSI"
check "the upgrade succeeds" "$?" 0
check "one entry remains, of the later version" "$(entries)" "$later|Plinthwax"
check "the later saver is in place" "$(cmp "$LATER_SCR" "$INSTALLED" && echo yes)" yes
check "it is still the current saver" "$(desktop SCRNSAVE.EXE)" 'C:\windows\system32\quorvel.scr'
msiexec /i "$MSI"
status=$?
check "an earlier version does not install over a later one" "$status $(entries | cut -d"|" -f1)" \
  "$((1603 & 255)) $later"

msiexec /x "$LATER_MSI"
check "the upgrade's uninstall takes the file, the entry and the saver settings" \
  "$([ -e "$INSTALLED" ] && echo file)$(entries)$(desktop SCRNSAVE.EXE)$(desktop ScreenSaveActive)" ""
check "the user's settings still stay" "$(user_settings)" "$settings"

# Asked to, an uninstall removes the settings too.
msiexec /i "$MSI"
msiexec /x "$MSI" REMOVESETTINGS=1
check "REMOVESETTINGS=1 removes the user's settings" \
  "$(wine reg query "$SETTINGS_KEY" >/dev/null 2>&1 && echo kept || echo removed)" removed
finish
