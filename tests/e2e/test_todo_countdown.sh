#!/usr/bin/env bash
# The to-do list and the countdown tile in the running program: the items of "Calendar.tpc"
# show in the week at a glance, an item added from the header, one ticked and one deleted
# reach the file when the week is left; the countdown tile opens its dialog, whose new title
# is saved at once; a drag moves the tile without opening the dialog; a print cancelled at
# the page setup prints nothing and the program goes on.
source "$(dirname "$0")/lib.sh"

TPC="$HOME/Documents/Calendar.tpc"
YEAR=$(date +%Y)
NEXT=$((YEAR + 1))

pixel() { screen_pixel "$@"; }

todo_lines() { sed '/^Events Data:$/,$d' "$TPC" 2>/dev/null; }
dark() { local r g b; read -r r g b < <(pixel "$1" "$2"); [ "$r" -lt 60 ] && [ "$g" -lt 60 ] && [ "$b" -lt 60 ]; }
light() { ! dark "$@"; }

scenario() {
  # The tile shows at start-up; two to-do items and a countdown record in the file.
  mkdir -p "$XDG_CONFIG_HOME" "$HOME/Documents"
  printf '1;0;1' > "$XDG_CONFIG_HOME/LMCalendar.prefs"
  printf '1\tOld done\n0\tOld open\nEvents Data:\n%s\n' \
    "$NEXT-03-14 00:00:00|$NEXT-03-14 00:00:00//Pi Day//Countdown" > "$TPC"

  "$BIN" & pid=$!
  win=$(wait_window '^Calendar$') || { echo "FAIL: no calendar window"; exit 1; }
  sleep 1.5

  measure_year_view "$win" || { echo "FAIL: no calendar area borders found"; kill $pid; exit 1; }
  # The side column: 168 pixels at the right; the to-do header below the 60-pixel glance
  # header and the 132-pixel month list, the list's 19-pixel rows below its 21-pixel header.
  SIDE=$(( SCREEN_W - 168 ))
  HEADER_Y=$(( TITLE + 60 + 132 + 10 ))
  LIST_TOP=$(( TITLE + 60 + 132 + 21 ))

  click $YEAR_X $YEAR_Y
  check "the ticked item is struck through" dark $(( SIDE + 20 + 3 )) $(( LIST_TOP + 10 ))
  check "the open item is not" light $(( SIDE + 20 + 3 )) $(( LIST_TOP + 19 + 10 ))

  # Add from the header, tick the second item, delete the first.
  click $(( SIDE + 60 )) $HEADER_Y
  xdotool type --delay 20 "Buy milk"; xdotool key Return; sleep 0.3
  click $(( SIDE + 10 )) $(( LIST_TOP + 19 + 9 ))
  click $(( SCREEN_W - 10 )) $(( LIST_TOP + 9 ))
  import -window root "$WORK/todo.png" 2>/dev/null
  check "nothing is written before the week is left" grep -qx "$(printf '1\tOld done')" "$TPC"
  click 29 $(( TITLE + 17 ))
  saved_in_order() { [ "$(todo_lines)" = "$(printf '1\tOld open\n0\tBuy milk')" ]; }
  check "the to-do lines are saved in order" within saved_in_order

  # The countdown tile: 5 pixels in from the calendar area's bottom-left corner.
  TILE_X=60
  TILE_Y=$(( TITLE + AREA - 5 - 65 ))
  click $TILE_X $TILE_Y
  dialog=$(wait_window '^Calendar Countdown Event$')
  if [ -n "$dialog" ]; then
    pass "a click on the tile opens the countdown dialog"
    import -window root "$WORK/countdown.png" 2>/dev/null
    press "$dialog" ctrl+a
    xdotool type --delay 20 "Launch"; xdotool key Return; sleep 0.8
    xdotool search --onlyvisible --name '^Calendar Countdown Event$' >/dev/null 2>&1 \
      && fail "Return leaves the dialog open" || pass "Return closes the dialog"
    check "the new title is saved at once" \
      within grep -qxF "$NEXT-03-14 00:00:00|$NEXT-03-14 00:00:00//Launch//Countdown" "$TPC"
  else
    fail "no countdown dialog"
  fi

  # A drag moves the tile and opens nothing.
  xdotool mousemove $TILE_X $TILE_Y mousedown 1; sleep 0.2
  xdotool mousemove $((TILE_X + 100)) $((TILE_Y - 50)); sleep 0.2
  xdotool mousemove $((TILE_X + 200)) $((TILE_Y - 100)); sleep 0.2
  xdotool mouseup 1; sleep 0.8
  xdotool search --onlyvisible --name '^Calendar Countdown Event$' >/dev/null 2>&1 \
    && fail "a drag opened the dialog" || pass "a drag opens no dialog"

  # Printing cancelled at the page setup: nothing happens, the program goes on.
  press "$win" ctrl+p
  setup=$(wait_window 'Page Setup')
  if [ -n "$setup" ]; then
    pass "the print command shows the page setup"
    press "$setup" Escape; sleep 1
    xdotool search --onlyvisible --name 'Page Setup' >/dev/null 2>&1 && fail "page setup still open"
  else
    fail "no page setup dialog"
  fi
  wait_window '^Tab$' 3 >/dev/null && pass "the tab window is back" || fail "the tab window stays hidden"

  quit_with_ctrl_q "$win" "$pid"
  check "the to-do lines survive the quit" saved_in_order
  exit $FAILURES
}

run_scenario scenario
