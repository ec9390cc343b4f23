#!/usr/bin/env bash
# The week at a glance: a click on a date of the year view shows its week; an event made
# in the event dialog at 9:00 reaches "Calendar.tpc" only when the week is left; it is made
# one hour long with the slider, deleted, and an all-day note is stored at 00:00:01.
source "$(dirname "$0")/lib.sh"

TPC="$HOME/Documents/Calendar.tpc"

pixel() { screen_pixel "$@"; }




# Opens the event dialog on grid cell (column 1-7, row 0-26), types keys, and waits for it
# to close. Further arguments are xdotool key names; "type:TEXT" types TEXT.
edit_cell() {
  local column=$1 row=$2 dialog; shift 2
  click $(( GRID_LEFT + (column - 1) * DAY_WIDTH + DAY_WIDTH / 2 )) $(( GRID_TOP + row * ROW + ROW / 2 ))
  dialog=$(wait_window '^Calendar Event$') || { fail "no event dialog for cell $column,$row"; return 1; }
  xdotool windowfocus --sync "$dialog" 2>/dev/null || xdotool windowfocus "$dialog"
  sleep 0.3
  for step in "$@"; do
    case $step in
      type:*) xdotool type --delay 20 "${step#type:}" ;;
      click:*) read -r dx dy _ _ < <(geometry "$dialog")
               local at=${step#click:}; xdotool mousemove $((dx + ${at%,*})) $((dy + ${at#*,})) click 1 ;;
      *) xdotool key "$step" ;;
    esac
    sleep 0.2
  done
  sleep 0.5
  xdotool search --onlyvisible --name '^Calendar Event$' >/dev/null 2>&1 && { fail "event dialog still open"; return 1; }
  return 0
}

teal() { local r g b; read -r r g b < <(pixel "$1" "$2"); [ $((g - r)) -gt 40 ] && [ $((b - r)) -gt 40 ]; }

scenario() {
  "$BIN" & pid=$!
  win=$(wait_window '^Calendar$') || { echo "FAIL: no calendar window"; exit 1; }
  sleep 1.5

  # The year view's geometry: its top and bottom border lines, the branding's margins.
  measure_year_view "$win" || { echo "FAIL: no calendar area borders found"; kill $pid; exit 1; }
  # The week grid below the 60-pixel header: 28 rows, a 60-pixel time column and seven
  # day columns beside the 168-pixel side column.
  GRID_TOP=$(( TITLE + 60 ))
  ROW=$(( (AREA - 60) / 28 ))
  GRID_LEFT=60
  DAY_WIDTH=$(( (SCREEN_W - 228) / 7 ))

  # The first run's quick start overlay goes with a click; here one on the year view's
  # top margin, where a click does nothing when there is no overlay.
  click 5 $(( TITLE + 3 ))
  click $YEAR_X $YEAR_Y
  check "a date shows the week at a glance header" teal 300 $(( TITLE + 45 ))
  read -r r g b < <(pixel $(( GRID_LEFT + DAY_WIDTH / 2 )) $(( GRID_TOP + ROW / 2 )))
  check "the week grid shows a free slot at 8:00" [ "$r $g $b" = "220 220 220" ]

  edit_cell 2 2 "type:Dentist" Return
  if [ -f "$TPC" ] && grep -q 'Dentist' "$TPC"; then fail "the event reached the file before leaving"; fi
  click 29 $(( TITLE + 17 ))
  check "the return arrow shows the year view" test "$(border_rows | head -n 1)" = "$TITLE"
  within grep -qE '^[0-9]{4}-[0-9]{2}-[0-9]{2} 09:00:00\|' "$TPC" 2>/dev/null   # saved on leaving
  line=$(grep -E '^[0-9]{4}-[0-9]{2}-[0-9]{2} 09:00:00\|' "$TPC" 2>/dev/null)
  day=${line:0:10}
  check "the event is stored from 9:00 to 9:30" [ "$line" = "$day 09:00:00|$day 09:30:00//Dentist" ]
  [ "$(date -d "$day" +%u 2>/dev/null)" = 1 ] && pass "the event lies on a Monday" || fail "event day $day"

  # One hour long: the slider is two Tabs away from the title; Return saves.
  before=$(md5sum < "$TPC" 2>/dev/null)
  click $YEAR_X $YEAR_Y
  edit_cell 2 2 Tab Tab Right Return
  check "saving changes nothing on disk" [ -n "$before" ] && [ "$(md5sum < "$TPC")" = "$before" ]
  click 29 $(( TITLE + 17 ))
  check "the event now ends at 10:00" within grep -qxF "$day 09:00:00|$day 10:00:00//Dentist" "$TPC"

  # Deleted with the Delete button, a click in its second half hour.
  click $YEAR_X $YEAR_Y
  edit_cell 2 3 click:76,134
  click 29 $(( TITLE + 17 ))
  check "the deleted event's line is gone" within bash -c "! grep -q '^$day 09:00:00' '$TPC'"

  # An all-day note from the day-note row.
  click $YEAR_X $YEAR_Y
  edit_cell 2 26 "type:Pay rent" Return
  click 29 $(( TITLE + 17 ))
  check "the day note is stored at 00:00:01" within grep -qxF "$day 00:00:01|$day 00:00:01//Pay rent" "$TPC"

  quit_with_ctrl_q "$win" "$pid"
  exit $FAILURES
}

run_scenario scenario
