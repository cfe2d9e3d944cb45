#!/usr/bin/env bash
# Photos of every kind in the real saver: the dialog counts them, and the running show projects
# each one upright (screenshots of the scene's window). The folder holds one photo at a time;
# once it has been seen, the next replaces it, so that the next picture item shows that one.
source "$QUORVEL_SOURCE/tests/support/e2e.sh"
source "$QUORVEL_SOURCE/tests/support/dialog.sh"
work=$(mktemp -d)
trap 'reset_settings; wine reg delete "$UNMANAGED_KEY" /f >/dev/null 2>&1; rm -rf "$work"' EXIT
mkdir -p "$work/made" "$work/media"

# Red top left and blue bottom left; the right half's two colours name the photo. Stored turned
# for orientation N, which the file's tag then undoes.
photo() {  # photo FILE TOP_RIGHT BOTTOM_RIGHT ORIENTATION [convert options]
  local turn=([1]="" [6]="-rotate 270" [8]="-rotate 90")
  # shellcheck disable=SC2086
  convert -size 48x32 xc:red "xc:$2" +append \( -size 48x32 xc:blue "xc:$3" +append \) \
    -append +repage ${turn[$4]} "${@:5}" "$work/made/$1"
  [ "$4" = 1 ] || exiftool -q -overwrite_original "-Orientation#=$4" "$work/made/$1"
}
photo a.jpg lime yellow 6 -quality 95
photo b.png lime magenta 1 -interlace PNG
photo c.gif yellow magenta 1
photo d.tif magenta yellow 8 -compress lzw
photo e.jpeg yellow lime 1 -interlace JPEG -quality 95
expected=("a.jpg lime yellow" "b.png lime magenta" "c.gif yellow magenta" "d.tif magenta yellow"
  "e.jpeg yellow lime")

counted=$(media_folder counts x.bmp y.avi a.jpg b.png c.gif d.tif e.jpeg f.TIFF g.jpgx)
reset_settings
store_settings "AVI Path" "sz:$counted" "Play AVIs" dword:1
open_dialog
check "the dialog counts pictures of every kind" "$(driver text "$DIALOG" 1010)" \
  "Contains: 1 AVI Files - 7 Pictures"
driver click "$DIALOG" 2
wait_exit 10
end_leftover

# Whether the scene's screenshot $1 shows the photo with top right $2 and bottom right $3 upright.
upright() {
  convert "$1" -depth 8 "$work/shot.ppm" && perl "$QUORVEL_SOURCE/tests/textures/upright.pl" "$work/shot.ppm" "$2" "$3"
}

reset_settings
store_settings "AVI Path" "sz:$(windows_path "$work/media")\\" "Play AVIs" dword:1 \
  "Only Show External Pics" dword:1 "Show Countdown" dword:0
cp "$work/made/a.jpg" "$work/media/"
start_saver /s
window=$(saver_window)
check_match "the saver runs" "$window" '^[0-9]+$'
for i in "${!expected[@]}"; do
  read -r file top bottom <<<"${expected[$i]}"
  seen=no
  for _ in $(seq 120); do
    scene=$(xwininfo -root -tree | grep -E "1024x768\+0\+0 +\+-1\+-1" | grep -oE "0x[0-9a-f]+" | tail -n1)
    import -window "${scene:-root}" "$work/shot.png" 2>/dev/null && upright "$work/shot.png" "$top" "$bottom" &&
      { seen=yes; break; }
    sleep 0.5
  done
  check "$file is shown upright" "$seen" yes
  [ "$seen" = yes ] || cp "$work/shot.png" "$QUORVEL_BUILD/show_pictures_$file.png"
  next=${expected[$((i + 1))]:-}
  [ -n "$next" ] && rm "$work/media/$file" && cp "$work/made/${next%% *}" "$work/media/"
done
xdotool key Escape
wait_exit 10
check "a key ends the saver with 0" "$EXIT_CODE" 0
end_leftover
finish
