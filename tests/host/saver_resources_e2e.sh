#!/usr/bin/env bash
# What the system reads from quorvel.scr: its listed name, its version and its DPI manifest.
source "$QUORVEL_SOURCE/tests/support/e2e.sh"

resource() { wrestool -x --raw "$@" "$SCR"; }

# A string table block holds 16 counted UTF-16 strings; block 1 holds ids 0 to 15.
read -r -a words <<<"$(resource --type=6 --name=1 | od -An -tu2 -v | tr '\n' ' ')"
name=""
for ((i = 0; i < words[1]; i++)); do name+=$(printf "\\x$(printf %x "${words[2 + i]}")"); done
check "string 1, the name in the screen-saver list" "$name" QUORVEL

version=$(resource --type=16 --name=1 | strings -el)
value() { sed -n "/^$1\$/{n;p;q}" <<<"$version"; }
check "description, product, file name" \
  "$(value FileDescription), $(value ProductName), $(value OriginalFilename)" \
  "QUORVEL screen saver, QUORVEL, quorvel.scr"
check_match "a copyright line of our own" "$(value LegalCopyright)" '^Copyright \(C\) [0-9]{4} Plinthwax'
check_match "the strings are US English, Unicode" "$version" $'\n040904B0\n'
# The numeric version (VS_FIXEDFILEINFO after its signature) spells the text one.
read -r -a fixed <<<"$(resource --type=16 --name=1 | od -An -tx4 -v | tr '\n' ' ')"
for ((i = 0; i < ${#fixed[@]}; i++)); do [ "${fixed[i]}" = feef04bd ] && break; done
ms=$((16#${fixed[i + 2]})) ls=$((16#${fixed[i + 3]}))
check "the numeric file version matches the text" \
  "$((ms >> 16)).$((ms & 0xFFFF)).$((ls >> 16)).$((ls & 0xFFFF))" "$(value FileVersion)"

manifest=$(resource --type=24 --name=1)
setting() {
  xmllint --xpath "string(/*[local-name()='assembly']/*[local-name()='application' and
    namespace-uri()='urn:schemas-microsoft-com:asm.v3']/*[local-name()='windowsSettings']/
    *[local-name()='$1' and namespace-uri()='http://schemas.microsoft.com/SMI/$2/WindowsSettings'])" \
    - <<<"$manifest" 2>/dev/null
}
check "per-monitor aware from Windows 8.1, system-aware before" "$(setting dpiAware 2005)" true/pm
check "per-monitor (v2 where there is one) on Windows 10" "$(setting dpiAwareness 2016)" \
  "PerMonitorV2, PerMonitor"
finish
