#!/usr/bin/env bash
# The real configuration dialog: its layout, its controls, the date checks and media warnings of
# OK, the media folder's listing and counts (in any script, of a large tree, never waited for),
# and the ways it ends.
source "$QUORVEL_SOURCE/tests/support/e2e.sh"
source "$QUORVEL_SOURCE/tests/support/dialog.sh"

MEDIA_IDS=(1006 102 1010 1012 1018)
COUNTDOWN_IDS=(1013 1015 1016 1017)

# Clicks a button ($1), waits for the dialog's end and reads what it saved.
end_with() {
  driver click "$DIALOG" "$1"
  ended
}
ended() { wait_exit 20 && end_leftover && read_settings; }
states() { driver "$1" "$DIALOG" "${@:2}" | paste -sd' '; }

# The box's text, checked against the expected one (and, the first time a title comes, its red
# stop icon); then its OK.
declare -A icon_seen
expect_box() {
  local box geometry red
  box=$(driver msgbox "$1" 15000)
  check "box '$1' says" "$(tail -n +2 <<<"$box")" "$2"
  if [ -z "${icon_seen[$1]:-}" ]; then
    icon_seen[$1]=1
    geometry=$(head -n 1 <<<"$box")
    red=$(import -window root -crop "$geometry" +repage png:- 2>/dev/null |
      convert png:- -format '%[fx:mean.r-mean.g>0.2 && mean.r-mean.b>0.2]' info: 2>/dev/null)
    check "box '$1' shows the stop icon" "$red" 1
  fi
  driver msgok "$1"
}

# Layout: every control in tab order where its dialog units put it in this font, with the
# styles that make it work; the dialog centred, without a caption.
reset_settings
open_dialog
check "the defaults fill the date fields" "$(states text 1017 1016 1015)" "16 5 2002"
# id x y width height class style-bits extended-style-bits
layout=(
  -1 0 0 250 215 Static 0xd 0
  1 146 12 91 14 Button 0x10001 0
  2 146 29 91 14 Button 0x10000 0
  1006 116 126 120 34 ListBox 0x210103 0x201
  102 116 115 120 11 Static 0x2000c 0x1
  1010 116 104 120 11 Static 0x20000 0x1
  1011 150 69 8 8 Button 0x18003 0
  1012 150 78 8 8 Button 0x18003 0
  1013 12 117 84 14 Edit 0x10080 0x200
  1014 12 96 8 8 Button 0x18003 0
  1015 70 147 22 12 Edit 0x12080 0x200
  1016 45 147 18 12 Edit 0x12080 0x200
  1017 18 147 18 12 Edit 0x12080 0x200
  1019 147 54 91 49 ComboBox 0x10003 0
  1018 150 87 8 8 Button 0x18003 0
)
units=()
for ((i = 0; i < ${#layout[@]}; i += 8)); do units+=("${layout[@]:i+1:4}"); done
mapfile -t places < <(driver dlgunits "MS Sans Serif" 8 "${units[@]}")
described=$(driver describe "$DIALOG")
[[ "$described" =~ rect=(-?[0-9]+),(-?[0-9]+),(-?[0-9]+),(-?[0-9]+) ]]
left=${BASH_REMATCH[1]} top=${BASH_REMATCH[2]} right=${BASH_REMATCH[3]} bottom=${BASH_REMATCH[4]}
mapfile -t children < <(driver children "$DIALOG" | LC_ALL=C tr -c '\n -~' '?')
for ((i = 0, row = 0; row < ${#layout[@]}; i++, row += 8)); do
  read -r id _ _ _ _ class style exstyle <<<"${layout[*]:row:8}"
  read -r x y x2 y2 <<<"${places[i]}"
  [[ "${children[i]}" =~ ^child\ id=(-?[0-9]+)\ .*class=([A-Za-z]+)\ .*rect=(-?[0-9]+),(-?[0-9]+),(-?[0-9]+),(-?[0-9]+)\ .*style=(0x[0-9a-f]+)\ exstyle=(0x[0-9a-f]+) ]]
  m=("${BASH_REMATCH[@]}")
  # A drop-down list's height is its closed field; its dialog-unit height is the open list.
  [ "$class" = ComboBox ] && y2=$((y + m[6] - m[4]))
  # The picture covers the whole dialog.
  [ "$id" = -1 ] && x2=$((right - left)) y2=$((bottom - top))
  check "control $id in its place, of its kind, with its styles" \
    "${m[1]} ${m[2]} $((m[3] - left)),$((m[4] - top)),$((m[5] - left)),$((m[6] - top)) $((m[7] & style)) $((m[8] & exstyle))" \
    "$id $class $x,$y,$x2,$y2 $((style)) $((exstyle))"
done
read -r _ _ width height <<<"$(driver dlgunits "MS Sans Serif" 8 0 0 250 215)"
[[ "$described" =~ title=(.*)\ rect=.*\ client=([0-9]+,[0-9]+)\ style=(0x[0-9a-f]+) ]]
check "the dialog is 250 x 215 units, without a caption or title" \
  "${BASH_REMATCH[1]}|${BASH_REMATCH[2]}|$((BASH_REMATCH[3] & 0x00C00000))" "|$width,$height|0"
centre() { echo $(($1 < 2 && $1 > -2)); }
check "the dialog is centred" "$(centre $(((left + right) / 2 - 512)))$(centre $(((top + bottom) / 2 - 384)))" 11

# Dragging the picture moves the dialog: the system's move loop starts, follows the mouse, ends.
moving() { for _ in $(seq 100); do [ "$(driver moving "$DIALOG")" = "$1" ] && break; sleep 0.1; done; }
xdotool mousemove $((left + 60)) $((top + 30)) mousedown 1
moving 1
xdotool mousemove_relative -- 40 30 mouseup 1
moving 0
check_match "dragging the picture moves the dialog by the mouse's way" "$(driver describe "$DIALOG")" \
  "rect=$((left + 40)),$((top + 30)),$((right + 40)),$((bottom + 30)) "

# try_date DAY MONTH YEAR MESSAGE: OK refuses the date with the message (the checks are unit
# tested in full; these show that the dialog applies them).
try_date() {
  driver settext "$DIALOG" 1017 "$1" 1016 "$2" 1015 "$3"
  driver click "$DIALOG" 1
  expect_box Error "$4"
}
try_date 29 2 2100 "Please enter a valid day of the month!"
try_date "" 5 2010 "Please enter a valid date!"
# Only the first failing check speaks: the year before the month before the day.
try_date 40 13 1899 "Please enter a valid year!"
# A message the dialog's thread answers only from its next message loop: any box is up by then.
driver send "$DIALOG" 0 0 0 >/dev/null
check "no other box followed" "$(driver find "#32770" Error 0)" ""
check "the dialog stays open" "$(driver enabled "$DIALOG")" 1
read_settings
check "nothing is saved while the date is refused" "$(nothing_saved)" yes
# A leap day is accepted and saved, the month 0-based.
driver settext "$DIALOG" 1017 29 1016 2 1015 2028
end_with 1
check "OK ends the dialog with 1" "$EXIT_CODE" 1
check "the leap day is saved, the month 0-based" \
  "$(stored CountToYear) $(stored CountToMonth) $(stored CountToDay)" "2028 1 29"

# Check boxes and the colour list, with a folder of one picture and no movie.
pictures=$(media_folder pictures only.bmp)
reset_settings
store_settings "AVI Path" "sz:$pictures" "Play AVIs" dword:1 "Mekan Colour" dword:6
open_dialog
check "the colours in their order, a stored 6 selecting Random" \
  "$(driver list "$DIALOG" 1019 | paste -sd'|')|$(driver combo "$DIALOG" 1019)" \
  "Blue (Default)|Red|Green|Purple|Yellow|Aqua|Random|6 Random"
check "a folder of pictures ticks the media box, its controls enabled" \
  "$(states checked 1011) $(states enabled "${MEDIA_IDS[@]}")" "1 1 1 1 1 1"
check "the counts" "$(counted)" "Contains: 0 AVI Files - 1 Pictures"
check "the path text names the folder" "$(driver text "$DIALOG" 102)" "$pictures"
check "the countdown box starts ticked, its fields enabled" \
  "$(states checked 1014) $(states enabled "${COUNTDOWN_IDS[@]}")" "1 1 1 1 1"
driver click "$DIALOG" 1014
check "unticking the countdown greys out the message and the date" \
  "$(states checked 1014) $(states enabled "${COUNTDOWN_IDS[@]}")" "0 0 0 0 0"
driver click "$DIALOG" 1012
driver click "$DIALOG" 1018
driver select "$DIALOG" 1019 3
long=$(printf 'Countdown%.0s' {1..10})
driver settext "$DIALOG" 1013 "$long" 1016 13
driver click "$DIALOG" 1
expect_box Error "Please enter a valid month! (1-12)"
driver settext "$DIALOG" 1016 7
end_with 1
check "OK ends the dialog with 1" "$EXIT_CODE" 1
check "pictures alone keep 'Play AVIs' and the folder" "$(stored "Play AVIs") $(stored "AVI Path")" \
  "1 $pictures"
check "the countdown is saved off, its greyed date all the same" \
  "$(stored "Show Countdown") $(stored CountToMonth)" "0 6"
check "the message keeps 78 characters" "$(stored CountMessage)" "${long:0:78}"
check "the sound and external-only boxes flip their settings" \
  "$(stored "Play AVI Sound") $(stored "Only Show External Pics")" "0 1"
check "the colour is the selected entry" "$(stored "Mekan Colour")" 3

# With the control panel's window as parent the dialog is modal to it; Escape ends it.
reset_settings
start_parent 300 200 60000 "$MEDIA_ROOT/parent.txt"
open_dialog "/c:$PARENT"
check_match "the dialog belongs to the given window" "$(driver describe "$DIALOG")" "parent=$PARENT\$"
check "the parent is disabled while the dialog runs" "$(driver enabled "$PARENT")" 0
xdotool key Escape
ended
check "Escape ends the dialog with 1, saving nothing" "$EXIT_CODE $(nothing_saved)" "1 yes"
check "the parent is enabled again" "$(driver enabled "$PARENT")" 1
kill "$PARENT_PID" 2>/dev/null

# An empty folder: ticking the box and OK warns and switches it off.
empty=$(media_folder empty)
reset_settings
store_settings "AVI Path" "sz:$empty"
open_dialog
check "the box starts unticked, the media controls disabled" \
  "$(states checked 1011) $(states enabled "${MEDIA_IDS[@]}")" "0 0 0 0 0 0"
driver click "$DIALOG" 1011
check "ticking enables them" "$(states enabled "${MEDIA_IDS[@]}")" "1 1 1 1 1"
check "the counts of an empty folder" "$(counted)" "Contains: 0 AVI Files - 0 Pictures"
driver click "$DIALOG" 1
# The box is the dialog's own: the dialog takes no input until it is closed.
box=$(driver find "#32770" "Can't find any AVI/BMP files!" 15000)
check_match "the warning is owned by the dialog" "$(driver describe "$box")" "parent=$DIALOG\$"
check "the dialog is disabled under it" "$(driver enabled "$DIALOG")" 0
expect_box "Can't find any AVI/BMP files!" "You have selected to play AVI files and/or display external BMPs but the directory you have selected does not contain any AVI or BMP files!
External picture display and AVI movie playback have been disabled.
You must select a directory with AVI and/or BMP files in it for these features to work.
Instructions for setting up a media folder are on the Plinthwax web site."
ended
check "the warning does not keep the dialog open; 'Play AVIs' is saved off" \
  "$EXIT_CODE $(stored "Play AVIs")" "1 0"

# Only external pictures, but the folder holds a movie and no picture.
movies=$(media_folder movies clip.avi)
reset_settings
store_settings "AVI Path" "sz:$movies" "Play AVIs" dword:1
open_dialog
check "the movie is counted" "$(counted)" "Contains: 1 AVI Files - 0 Pictures"
driver click "$DIALOG" 1018
driver click "$DIALOG" 1
expect_box "Can't find any BMP files!" "You have selected to only show external BMP files but there are no BMP files in the directory you have selected!
This function has been disabled.
Please try again and be sure to select the directory you have placed your BMP/AVI files in."
ended
check "OK goes on after the warning" "$EXIT_CODE" 1
check "'Only Show External Pics' is saved off, the movies keep 'Play AVIs'" \
  "$(stored "Only Show External Pics") $(stored "Play AVIs")" "0 1"

# Both warnings in order, and a refused date after them: the switched-off boxes show unticked,
# so the user's next click turns them on again rather than off.
reset_settings
store_settings "AVI Path" "sz:$empty" "Play AVIs" dword:1 "Only Show External Pics" dword:1
open_dialog
check "the stored boxes show ticked until the count judges them" "$(states checked 1011 1018)" "1 1"
counted >/dev/null
driver settext "$DIALOG" 1016 13
driver click "$DIALOG" 1
boxes=""
for title in "Can't find any AVI/BMP files!" "Can't find any BMP files!" Error; do
  driver msgok "$title" 5000 && boxes+="$title|"
done
check "each box in turn" "$boxes" "Can't find any AVI/BMP files!|Can't find any BMP files!|Error|"
check "the media box is unticked" "$(states checked 1011 1018)" "0 0"
check "and its controls disabled" "$(states enabled "${MEDIA_IDS[@]}")" "0 0 0 0 0"
end_with 2
check "Cancel ends the dialog with 1" "$EXIT_CODE" 1
check "Cancel saves nothing" "$(stored "Play AVIs") $(stored "Only Show External Pics")" "1 1"

# A stored folder that cannot be reached now (an unplugged drive) is shown and kept, with its
# flags, through OK for another change; no warning judges it by its seeming emptiness.
offline='Z:\nowhere\unplugged\'
reset_settings
store_settings "AVI Path" "sz:$offline" "Play AVIs" dword:1 "Only Show External Pics" dword:1
open_dialog
check "the stored folder is shown, found unreachable" "$(driver text "$DIALOG" 102)|$(counted)" \
  "${offline}|Folder not reachable now"
check "with its boxes ticked" "$(states checked 1011 1018)" "1 1"
check_match "the list offers the way up and the drives" "$(folder_list | paste -sd' ')" \
  '^\[\.\.\] \[-c-\] .*\[-z-\]$'
driver settext "$DIALOG" 1013 "Back soon"
end_with 1
check "no warning held OK" "$EXIT_CODE" 1
check "the folder and flags are kept, the change saved" \
  "$(stored "AVI Path")|$(stored "Play AVIs")|$(stored "Only Show External Pics")|$(stored CountMessage)" \
  "${offline}|1|1|Back soon"

# Moving through folders named in other scripts, a sub-folder down and the parent entry up, and
# a message typed with accents: saved, and shown again as they were. (Which names count as
# which kind is the media library's unit test.)
scripts=$(media_folder scripts "Fête d'été/plage.jpg" "Москва/Кино.avi" "東京/夜.png")
reset_settings
store_settings "AVI Path" "sz:$scripts" "Play AVIs" dword:1
open_dialog
check "the whole tree is counted" "$(counted)" "Contains: 1 AVI Files - 2 Pictures"
driver dblclick "$DIALOG" 1006 "[Fête d'été]"
check "an accented folder is entered" "$(driver text "$DIALOG" 102)|$(counted)" \
  "${scripts}Fête d'été\\|Contains: 0 AVI Files - 1 Pictures"
driver dblclick "$DIALOG" 1006 "[..]"
driver dblclick "$DIALOG" 1006 "[Москва]"
check "a Cyrillic folder is entered" "$(driver text "$DIALOG" 102)|$(counted)" \
  "${scripts}Москва\\|Contains: 1 AVI Files - 0 Pictures"
message="Noël arrive dans — Ωμέγα"
driver settext "$DIALOG" 1013 "$message"
end_with 1
check "the folder and the message are saved as picked and typed" \
  "$(stored "AVI Path")|$(stored CountMessage)" "${scripts}Москва\\|$message"
open_dialog
check "and shown as they were when the dialog opens again" \
  "$(driver text "$DIALOG" 102 1013 | paste -sd'|')|$(counted)" \
  "${scripts}Москва\\|$message|Contains: 1 AVI Files - 0 Pictures"
end_with 2

# A tree of 20,000 photos in nested folders: the dialog answers at once and counts them all
# while it does; OK does not wait for the count.
big="$MEDIA_ROOT/big"
rm -rf "$big"
for year in $(seq 2005 2024); do
  for trip in $(seq -w 1 10); do
    mkdir -p "$big/$year/Reise $trip"
    (cd "$big/$year/Reise $trip" && touch $(printf 'IMG_%04d.jpg ' $(seq 100)))
  done
done
big=$(windows_path "$big")\\
reset_settings
store_settings "AVI Path" "sz:$big" "Play AVIs" dword:1
# The driver reads the count line the moment the dialog is there (and clicks, below), before
# the count of the tree can end.
start_saver /c
found=$(driver dialog 1019 15000 1010)
DIALOG=$(head -n 1 <<<"$found")
check "the dialog opens counting" "$(tail -n +2 <<<"$found")" "Counting…"
asked=$(date +%s%N)
answer=$(driver send "$DIALOG" 0 0 0)
check "the dialog answers within a second" \
  "$answer $((($(date +%s%N) - asked) / 1000000 < 1000))" "0 1"
check "then the whole tree's count" "$(counted 60)" "Contains: 0 AVI Files - 20000 Pictures"
end_with 2
start_saver /c
found=$(driver dialog 1019 15000 1010 1)
ended
check "OK ends the dialog while it is counting" "$(tail -n +2 <<<"$found")|$EXIT_CODE" \
  "Counting…|1"
check "and saves" "$(stored "AVI Path")|$(stored "Show Countdown")" "$big|1"
finish
