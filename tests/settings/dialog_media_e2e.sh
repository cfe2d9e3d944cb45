#!/usr/bin/env bash
# The media folder in the real dialog: its listing, its counts and the warnings of OK.
source "$QUORVEL_SOURCE/tests/support/e2e.sh"
source "$QUORVEL_SOURCE/tests/support/dialog.sh"

MEDIA_IDS=(1006 102 1010 1012 1018)

# One picture and no movie: the box shows ticked and OK keeps it without a warning.
pictures=$(media_folder pictures only.bmp)
reset_settings
store_settings "AVI Path" "sz:$pictures" "Play AVIs" dword:1
open_dialog
check "a folder of pictures ticks the media box" "$(driver checked "$DIALOG" 1011)" 1
check "the media controls are enabled" "$(driver enabled "$DIALOG" "${MEDIA_IDS[@]}" | paste -sd' ')" \
  "1 1 1 1 1"
check "the counts" "$(driver text "$DIALOG" 1010)" "Contains: 0 AVI Files - 1 BMP Files"
check "the path text names the folder" "$(driver text "$DIALOG" 102 | tr '[:upper:]' '[:lower:]')" \
  "$(echo "${pictures%\\}" | tr '[:upper:]' '[:lower:]')"
driver click "$DIALOG" 1
wait_exit 10
end_leftover
check "OK ends the dialog" "$EXIT_CODE" 1
read_settings
check "pictures alone keep 'Play AVIs'" "$(stored "Play AVIs")" 1
check "the folder is kept" "$(stored "AVI Path")" "$pictures"

# An empty folder: ticking the box and OK warns and switches it off.
empty=$(media_folder empty)
reset_settings
store_settings "AVI Path" "sz:$empty"
open_dialog
check "the box starts unticked" "$(driver checked "$DIALOG" 1011)" 0
check "the media controls start disabled" \
  "$(driver enabled "$DIALOG" "${MEDIA_IDS[@]}" | paste -sd' ')" "0 0 0 0 0"
driver click "$DIALOG" 1011
check "ticking enables them" "$(driver enabled "$DIALOG" "${MEDIA_IDS[@]}" | paste -sd' ')" \
  "1 1 1 1 1"
check "the counts of an empty folder" "$(driver text "$DIALOG" 1010)" \
  "Contains: 0 AVI Files - 0 BMP Files"
driver click "$DIALOG" 1
# The box is the dialog's own: the dialog takes no input until it is closed.
box=$(driver find "#32770" "Can't find any AVI/BMP files!" 5000)
check_match "the warning is owned by the dialog" "$(driver describe "$box")" "parent=$DIALOG\$"
check "the dialog is disabled under it" "$(driver enabled "$DIALOG")" 0
expect_box "Can't find any AVI/BMP files!" "You have selected to play AVI files and/or display external BMPs but the directory you have selected does not contain any AVI or BMP files!
External picture display and AVI movie playback have been disabled.
You must select a directory with AVI and/or BMP files in it for these features to work.
Instructions for setting up a media folder are on the Plinthwax web site."
wait_exit 10
end_leftover
check "the warning does not keep the dialog open" "$EXIT_CODE" 1
read_settings
check "'Play AVIs' is saved off" "$(stored "Play AVIs")" 0

# Only external pictures, but the folder holds a movie and no picture.
movies=$(media_folder movies clip.avi)
reset_settings
store_settings "AVI Path" "sz:$movies" "Play AVIs" dword:1
open_dialog
driver click "$DIALOG" 1018
driver click "$DIALOG" 1
expect_box "Can't find any BMP files!" "You have selected to only show external BMP files but there are no BMP files in the directory you have selected!
This function has been disabled.
Please try again and be sure to select the directory you have placed your BMP/AVI files in."
wait_exit 10
end_leftover
check "OK goes on after the warning" "$EXIT_CODE" 1
read_settings
check "'Only Show External Pics' is saved off" "$(stored "Only Show External Pics")" 0
check "the movies keep 'Play AVIs'" "$(stored "Play AVIs")" 1

# Both warnings in order, and a refused date after them: the switched-off boxes show unticked,
# so the user's next click turns them on again rather than off.
reset_settings
store_settings "AVI Path" "sz:$empty" "Play AVIs" dword:1 "Only Show External Pics" dword:1
open_dialog
driver settext "$DIALOG" 1016 13
driver click "$DIALOG" 1
driver msgok "Can't find any AVI/BMP files!"
driver msgok "Can't find any BMP files!"
driver msgok Error
check "the media box is unticked" "$(driver checked "$DIALOG" 1011 1018 | paste -sd' ')" "0 0"
check "and its controls disabled" "$(driver enabled "$DIALOG" "${MEDIA_IDS[@]}" | paste -sd' ')" \
  "0 0 0 0 0"
driver click "$DIALOG" 2
wait_exit 10
end_leftover
check "Cancel ends the dialog with 1" "$EXIT_CODE" 1
read_settings
check "Cancel saves nothing" "$(stored "Play AVIs") $(stored "Only Show External Pics")" "1 1"

# A stored folder that cannot be reached now (an unplugged drive) is shown and kept, with its
# flags, through OK for another change; no warning judges it by its seeming emptiness.
offline='Z:\nowhere\unplugged\'
reset_settings
store_settings "AVI Path" "sz:$offline" "Play AVIs" dword:1 "Only Show External Pics" dword:1
open_dialog
check "the stored folder is shown" "$(driver text "$DIALOG" 102 1010 | paste -sd'|')" \
  "${offline}|Folder not reachable now"
check "with its boxes ticked" "$(driver checked "$DIALOG" 1011 1018 | paste -sd' ')" "1 1"
driver settext "$DIALOG" 1013 "Back soon"
driver click "$DIALOG" 1
wait_exit 10
end_leftover
check "no warning held OK" "$EXIT_CODE" 1
read_settings
check "the folder and flags are kept, the change saved" \
  "$(stored "AVI Path")|$(stored "Play AVIs")|$(stored "Only Show External Pics")|$(stored CountMessage)" \
  "${offline}|1|1|Back soon"

# Moving through the folders: the parent entry goes one folder up, a sub-folder one down.
top=$(media_folder top a.avi b.bmp c.bmp inner/.keep)
reset_settings
store_settings "AVI Path" "sz:${top}inner\\" "Play AVIs" dword:1
open_dialog
check "the inner folder's counts" "$(driver text "$DIALOG" 1010)" \
  "Contains: 0 AVI Files - 0 BMP Files"
check_match "the list shows the parent entry and drives" \
  "$(driver list "$DIALOG" 1006 | paste -sd' ')" '^\[\.\.\] .*\[-z-\]'
driver dblclick "$DIALOG" 1006 "[..]"
check "the parent's counts follow" "$(driver text "$DIALOG" 1010)" \
  "Contains: 1 AVI Files - 2 BMP Files"
check_match "the parent lists its sub-folder" "$(driver list "$DIALOG" 1006 | paste -sd' ')" \
  '\[inner\]'
driver click "$DIALOG" 1
wait_exit 10
end_leftover
read_settings
check "'AVI Path' moved one folder up, with its backslash" "$(stored "AVI Path")" "$top"

reset_settings
store_settings "AVI Path" "sz:$top" "Play AVIs" dword:1
open_dialog
driver dblclick "$DIALOG" 1006 "[inner]"
check "a sub-folder's counts" "$(driver text "$DIALOG" 1010)" "Contains: 0 AVI Files - 0 BMP Files"
driver click "$DIALOG" 1
driver msgok "Can't find any AVI/BMP files!"
wait_exit 10
end_leftover
read_settings
check "'AVI Path' moved one folder down" "$(stored "AVI Path")" "${top}inner\\"
reset_settings
finish
