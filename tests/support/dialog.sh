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

# store_settings NAME dword:N|sz:TEXT ...: writes the values in one go. The file is UTF-16 with
# its byte-order mark, as the registry editor writes it, so that text in any script comes through.
store_settings() {
  local file="$MEDIA_ROOT/settings.reg" text lines
  lines=$'Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Plinthwax\\QUORVEL]\n'
  for ((; $# >= 2; )); do
    text=${2#*:}
    text=${text//\\/\\\\}
    [ "${2%%:*}" = dword ] && lines+=$(printf '"%s"=dword:%08x' "$1" "$text")$'\n'
    [ "${2%%:*}" = sz ] && lines+=$(printf '"%s"="%s"' "$1" "${text//\"/\\\"}")$'\n'
    shift 2
  done
  { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE <<<"$lines"; } >"$file"
  wine reg import "$(windows_path "$file")" >/dev/null 2>&1
}

# Reads the settings key (exported whole: a query prints text in the console's code page, which
# loses most scripts); `stored NAME` then gives a value (DWORDs in decimal), "" when none.
read_settings() {
  local file="$MEDIA_ROOT/read.reg"
  rm -f "$file"
  wine reg export "$SETTINGS_KEY" "$(windows_path "$file")" /y >/dev/null 2>&1 || true
  SETTINGS=$([ -f "$file" ] && iconv -f UTF-16 -t UTF-8 "$file" | tr -d '\r')
}
stored() {
  local data
  data=$(sed -n "s/^\"$1\"=//p" <<<"$SETTINGS")
  case "$data" in
    dword:*) echo $((16#${data#dword:})) ;;
    \"*) sed -e 's/^"//' -e 's/"$//' -e 's/\\\(.\)/\1/g' <<<"$data" ;;
    *) echo "$data" ;;
  esac
}
nothing_saved() { grep -q '^"' <<<"$SETTINGS" && echo no || echo yes; }

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

# The count line once the count is done (at most $1 seconds, 20 by default).
counted() {
  local text i
  for ((i = 0; i < ${1:-20} * 10; i++)); do
    text=$(driver text "$DIALOG" 1010)
    [ "$text" != "Counting…" ] && break
    sleep 0.1
  done
  echo "$text"
}

# The folder list's entries, one a line, once it has any (the list is filled off the dialog's
# thread).
folder_list() {
  local entries i
  for ((i = 0; i < 100; i++)); do
    entries=$(driver list "$DIALOG" 1006)
    [ -n "$entries" ] && break
    sleep 0.1
  done
  echo "$entries"
}
