#!/usr/bin/env bash
# The countdown date checks of the real dialog's OK button.
source "$QUORVEL_SOURCE/tests/support/e2e.sh"
source "$QUORVEL_SOURCE/tests/support/dialog.sh"

reset_settings
open_dialog
check_match "the dialog opens" "$DIALOG" '^[0-9]+$'
check "the defaults fill the date fields" "$(driver text "$DIALOG" 1017 1016 1015 | paste -sd' ')" \
  "16 5 2002"

# try_date DAY MONTH YEAR MESSAGE: OK refuses the date with the message.
try_date() {
  driver settext "$DIALOG" 1017 "$1" 1016 "$2" 1015 "$3"
  driver click "$DIALOG" 1
  expect_box Error "$4"
}

# 29 February only in leap years (the checks are unit tested in full; these show that the
# dialog applies them).
try_date 29 2 2100 "Please enter a valid day of the month!"
try_date 31 4 2010 "Please enter a valid day of the month!"
try_date 16 5 1899 "Please enter a valid year!"
try_date 16 5 10000 "Please enter a valid year!"
try_date "" 5 2010 "Please enter a valid date!"
try_date 16 0 2010 "Please enter a valid month! (1-12)"
try_date 16 13 2010 "Please enter a valid month! (1-12)"
# Only the first failing check speaks: the year before the month before the day.
try_date 40 13 1899 "Please enter a valid year!"
check "no other box followed" "$(no_box Error)" ""
check "the dialog stays open" "$(driver enabled "$DIALOG")" 1
read_settings
check "nothing is saved while the date is refused" "$(settings_saved)" no

# A corrected date is accepted and saved, the month 0-based.
driver settext "$DIALOG" 1017 29 1016 2 1015 2028
driver click "$DIALOG" 1
wait_exit 10
end_leftover
check "OK ends the dialog with 1" "$EXIT_CODE" 1
read_settings
check "the leap day is saved, the month 0-based" \
  "$(stored CountToYear) $(stored CountToMonth) $(stored CountToDay)" "2028 1 29"
reset_settings
finish
