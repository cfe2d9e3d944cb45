# Helpers of the configuration dialog's end-to-end tests: the settings key, media folders,
# the dialog and its message boxes.
SETTINGS_KEY='HKCU\Software\Plinthwax\QUORVEL'
MEDIA_ROOT="$QUORVEL_BUILD/e2e-media"
mkdir -p "$MEDIA_ROOT"

# Without a window manager Wine waits two seconds for every closing framed window (each
# message box); the program's own windows need no manager.
UNMANAGED_KEY='HKCU\Software\Wine\AppDefaults\quorvel.scr\X11 Driver'
wine reg add "$UNMANAGED_KEY" /v Managed /d N /f >/dev/null 2>&1
trap 'wine reg delete "$UNMANAGED_KEY" /f >/dev/null 2>&1' EXIT

reset_settings() { wine reg delete "$SETTINGS_KEY" /f >/dev/null 2>&1 || true; }

# The Windows name of a Linux path (Wine's drive Z: is the root).
windows_path() {
  local path
  path=$(realpath -m "$1")
  echo "Z:${path//\//\\}"
}

# store_settings NAME dword:N|sz:TEXT ...: writes the values in one go.
store_settings() {
  local file="$MEDIA_ROOT/settings.reg" text
  {
    printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Plinthwax\\QUORVEL]\n'
    while [ $# -ge 2 ]; do
      case $2 in
        dword:*) printf '"%s"=dword:%08x\n' "$1" "${2#dword:}" ;;
        sz:*)
          text=${2#sz:}
          printf '"%s"="%s"\n' "$1" "${text//\\/\\\\}"
          ;;
      esac
      shift 2
    done
  } >"$file"
  wine reg import "$(windows_path "$file")" >/dev/null 2>&1
}

# Reads the whole settings key once; `stored NAME` then gives a value (DWORDs in decimal).
read_settings() {
  SETTINGS_DUMP=$(wine reg query "$SETTINGS_KEY" 2>/dev/null | tr -d '\r' | grep '^    ')
}
stored() {
  local data
  data=$(sed -n "s/^    $1    REG_[A-Z_]*    //p" <<<"$SETTINGS_DUMP")
  if [[ "$data" == 0x* ]]; then echo $((data)); else echo "$data"; fi
}
settings_saved() { [ -n "$SETTINGS_DUMP" ] && echo yes || echo no; }

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

# Starts the dialog with the given switch and sets DIALOG to its window.
open_dialog() {
  start_saver "${1:-/c}"
  DIALOG=$(driver dialog 1019 15000)
}

# The box's text, checked against the expected one with its red stop icon; then its OK.
expect_box() {
  local title=$1 text=$2 box geometry red
  box=$(driver msgbox "$title" 5000)
  geometry=$(head -n 1 <<<"$box")
  check "box '$title' says" "$(tail -n +2 <<<"$box")" "$text"
  red=$(import -window root -crop "$geometry" +repage png:- 2>/dev/null |
    convert png:- -format '%[fx:mean.r-mean.g>0.2 && mean.r-mean.b>0.2]' info: 2>/dev/null)
  check "box '$title' shows the stop icon" "$red" 1
  driver msgok "$title"
}

no_box() { driver find "#32770" "$1" 300; }
