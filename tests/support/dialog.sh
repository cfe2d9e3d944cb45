# Helpers of the scripts that open the configuration dialog: the settings key, media folders,
# the dialog itself.
SETTINGS_KEY='HKCU\Software\Plinthwax\QUORVEL'
MEDIA_ROOT="$QUORVEL_BUILD/e2e-media"
mkdir -p "$MEDIA_ROOT"
# Without a window manager Wine waits two seconds for every framed window it hides; the test
# runner makes every window unmanaged, this key the saver's alone when a script runs by itself.
UNMANAGED_KEY='HKCU\Software\Wine\AppDefaults\quorvel.scr\X11 Driver'
wine reg add "$UNMANAGED_KEY" /v Managed /d N /f >/dev/null 2>&1
trap 'reset_settings; wine reg delete "$UNMANAGED_KEY" /f >/dev/null 2>&1' EXIT

reset_settings() { wine reg delete "$SETTINGS_KEY" /f >/dev/null 2>&1 || true; }
windows_path() { local path; path=$(realpath -m "$1"); echo "Z:${path//\//\\}"; }

# store_settings NAME dword:N|sz:TEXT ...: writes the values in one go.
store_settings() {
  local file="$MEDIA_ROOT/settings.reg" text
  printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Plinthwax\\QUORVEL]\n' >"$file"
  for ((; $# >= 2; )); do
    text=${2#*:}
    [ "${2%%:*}" = dword ] && printf '"%s"=dword:%08x\n' "$1" "$text" >>"$file"
    [ "${2%%:*}" = sz ] && printf '"%s"="%s"\n' "$1" "${text//\\/\\\\}" >>"$file"
    shift 2
  done
  wine reg import "$(windows_path "$file")" >/dev/null 2>&1
}

# Reads the settings key; `stored NAME` then gives a value (DWORDs in decimal), "" when none.
read_settings() { SETTINGS=$(wine reg query "$SETTINGS_KEY" 2>/dev/null | tr -d '\r'); }
stored() {
  local data
  data=$(sed -n "s/^    $1    REG_[A-Z_]*    //p" <<<"$SETTINGS")
  if [[ "$data" == 0x* ]]; then echo $((data)); else echo "$data"; fi
}
nothing_saved() { grep -q '    REG_' <<<"$SETTINGS" && echo no || echo yes; }

# media_folder NAME [FILE...]: a fresh folder under the media root holding the named files
# (only their names matter to the scan); prints its Windows path with a trailing backslash.
media_folder() {
  local dir="$MEDIA_ROOT/$1" file
  shift
  rm -rf "$dir"
  mkdir -p "$dir"
  for file in "$@"; do
    mkdir -p "$(dirname "$dir/$file")"
    echo media >"$dir/$file"
  done
  echo "$(windows_path "$dir")\\"
}

open_dialog() {
  start_saver "${1:-/c}"
  DIALOG=$(driver dialog 1019 15000)
}
