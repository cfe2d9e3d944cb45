#!/usr/bin/env bash
# The real dialog's layout, check boxes, colour list, dragging and the ways it ends.
source "$QUORVEL_SOURCE/tests/support/e2e.sh"
source "$QUORVEL_SOURCE/tests/support/dialog.sh"

COUNTDOWN_IDS=(1013 1015 1016 1017)
pictures=$(media_folder pictures one.bmp)

# Layout: every control where its dialog units put it in this font, the dialog centred and
# without a caption.
reset_settings
open_dialog
# id x y width height, in dialog units
layout=(
  1 146 12 91 14
  2 146 29 91 14
  1006 116 126 120 34
  102 116 115 120 11
  1010 116 104 120 11
  1011 150 69 8 8
  1012 150 78 8 8
  1013 12 117 84 14
  1014 12 96 8 8
  1015 70 147 22 12
  1016 45 147 18 12
  1017 18 147 18 12
  1018 150 87 8 8
)
ids=() units=()
for ((i = 0; i < ${#layout[@]}; i += 5)); do
  ids+=("${layout[i]}")
  units+=("${layout[@]:i+1:4}")
done
mapfile -t expected < <(driver dlgunits "MS Sans Serif" 8 "${units[@]}" 0 0 250 215 147 54 91 49)
mapfile -t actual < <(driver rect "$DIALOG" "${ids[@]}")
for ((i = 0; i < ${#ids[@]}; i++)); do
  check "control ${ids[i]} sits at its place" "${actual[i]}" "${expected[i]}"
done
read -r -a combo <<<"$(driver rect "$DIALOG" 1019)"
read -r -a combo_expected <<<"${expected[${#ids[@]} + 1]}"
# A drop-down list's height is its closed field; its dialog-unit height is the open list.
check "the colour list sits at its place" "${combo[*]:0:3}" "${combo_expected[*]:0:3}"
read -r -a dialog_size <<<"${expected[${#ids[@]}]}"
described=$(driver describe "$DIALOG")
check_match "the dialog is 250 x 215 units" "$described" \
  "client=${dialog_size[2]},${dialog_size[3]} "
[[ "$described" =~ rect=(-?[0-9]+),(-?[0-9]+),(-?[0-9]+),(-?[0-9]+) ]]
left=${BASH_REMATCH[1]} top=${BASH_REMATCH[2]} right=${BASH_REMATCH[3]} bottom=${BASH_REMATCH[4]}
check "the dialog is centred across" $(((left + right) / 2 - 512 <= 1 && 512 - (left + right) / 2 <= 1)) 1
check "the dialog is centred down" $(((top + bottom) / 2 - 384 <= 1 && 384 - (top + bottom) / 2 <= 1)) 1
[[ "$described" =~ style=0x([0-9a-f]+) ]]
check "no caption" $((0x${BASH_REMATCH[1]} & 0x00C00000)) 0
check_match "no title" "$described" 'class=#32770 title= rect='
background=$(driver children "$DIALOG" | grep -a -E '^child id=(-1|65535) ')
check_match "the picture covers the whole dialog" "$background" \
  "rect=$left,$top,$right,$bottom "

# Dragging the picture moves the dialog.
xdotool mousemove $((left + 60)) $((top + 30)) mousedown 1
for _ in 1 2 3 4 5; do
  xdotool mousemove_relative -- 8 6
  sleep 0.05
done
xdotool mouseup 1
sleep 0.3
check_match "dragging the picture moves the dialog by the mouse's way" "$(driver describe "$DIALOG")" \
  "rect=$((left + 40)),$((top + 30)),$((right + 40)),$((bottom + 30)) "

# Escape ends the dialog as Cancel does.
xdotool key Escape
wait_exit 10
end_leftover
check "Escape ends the dialog with 1" "$EXIT_CODE" 1
read_settings
check "Escape saves nothing" "$(settings_saved)" no

# The system's close command too.
open_dialog
driver post "$DIALOG" 0x0112 0xF060 0
wait_exit 10
end_leftover
check "the close command ends the dialog with 1" "$EXIT_CODE" 1
read_settings
check "closing saves nothing" "$(settings_saved)" no

# Check boxes and the colour list.
store_settings "AVI Path" "sz:$pictures" "Play AVIs" dword:1 "Mekan Colour" dword:6
open_dialog
check "a stored colour 6 selects Random" "$(driver combo "$DIALOG" 1019)" "6 Random"
check "the countdown box starts ticked, its fields enabled" \
  "$(driver checked "$DIALOG" 1014) $(driver enabled "$DIALOG" "${COUNTDOWN_IDS[@]}" | paste -sd' ')" \
  "1 1 1 1 1"
driver click "$DIALOG" 1014
check "unticking the countdown greys out the message and the date" \
  "$(driver checked "$DIALOG" 1014) $(driver enabled "$DIALOG" "${COUNTDOWN_IDS[@]}" | paste -sd' ')" \
  "0 0 0 0 0"
driver click "$DIALOG" 1012
driver click "$DIALOG" 1018
driver select "$DIALOG" 1019 3
long=$(printf 'Countdown%.0s' {1..10})
driver settext "$DIALOG" 1013 "$long" 1016 13
driver click "$DIALOG" 1
expect_box Error "Please enter a valid month! (1-12)"
driver settext "$DIALOG" 1016 7
driver click "$DIALOG" 1
wait_exit 10
end_leftover
check "OK ends the dialog with 1" "$EXIT_CODE" 1
read_settings
check "the countdown is saved off" "$(stored "Show Countdown")" 0
check "its greyed date is saved all the same" "$(stored CountToMonth)" 6
check "the message keeps 78 characters" "$(stored CountMessage)" "${long:0:78}"
check "the sound box flips its setting" "$(stored "Play AVI Sound")" 0
check "the external-only box flips its setting" "$(stored "Only Show External Pics")" 1
check "the colour is the selected entry" "$(stored "Mekan Colour")" 3

# With the control panel's window as parent the dialog is modal to it.
wine "$DRIVER" parent 300 200 60000 >"$MEDIA_ROOT/parent.txt" 2>/dev/null &
parent_pid=$!
for _ in $(seq 50); do [ -s "$MEDIA_ROOT/parent.txt" ] && break; sleep 0.1; done
parent=$(tr -d '\r\n' <"$MEDIA_ROOT/parent.txt")
open_dialog "/c:$parent"
check_match "the dialog belongs to the given window" "$(driver describe "$DIALOG")" "parent=$parent\$"
check "the parent is disabled while the dialog runs" "$(driver enabled "$parent")" 0
driver click "$DIALOG" 2
wait_exit 10
end_leftover
check "Cancel ends the dialog with 1" "$EXIT_CODE" 1
check "the parent is enabled again" "$(driver enabled "$parent")" 1
kill "$parent_pid" 2>/dev/null
wait "$parent_pid" 2>/dev/null
reset_settings
finish
