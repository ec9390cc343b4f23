#!/usr/bin/env bash
# The events file after a run: the generated holidays of the three years, an edition's
# special events, a seeded file kept line for line, and an unreadable file left alone.
source "$(dirname "$0")/lib.sh"

# A copy of the program beside one branding folder whose first year is 2005.
make_app() { # folder, application name
  rm -rf "$1"; mkdir -p "$1"
  cp "$BIN" "$1/"
  cp -r "$BUILD_DIR/Standard" "$1/Edition"
  sed -i "s/^calendarStartYear=.*/calendarStartYear=2005/; s/^applicationName=.*/applicationName=$2/" "$1/Edition/calspc.dat"
}

# Starts the program in folder $1, answers up to $2 message boxes with Return (the calendar
# window shown first ends the wait for them), quits with Ctrl+Q.
run_once() {
  local dir=$1 boxes=${2:-0} pid win box status
  "$dir/lumora-calendar" & pid=$!
  for _ in $(seq 1 "$boxes"); do
    box=$(wait_window '^(Lumora Calendar|Calendar)$') || break
    [ "$(xdotool getwindowname "$box")" = "Lumora Calendar" ] || break
    press "$box" Return
    within window_gone "$box"
  done
  win=$(wait_window '^Calendar$') || { echo "no calendar window"; kill -9 $pid; return 1; }
  sleep 1
  press "$win" ctrl+q
  wait_exit $pid; status=$EXIT_STATUS
  [ "$status" = 0 ] || { kill -9 $pid 2>/dev/null; echo "status $status"; return 1; }
}

scenario() {
  failures=0
  tpc="$HOME/Documents/Calendar.tpc"

  make_app "$WORK/plain" "Lumora Calendar"
  run_once "$WORK/plain" || failures=$((failures+1))
  events=$(sed -n '/^Events Data:$/,$p' "$tpc" | tail -n +2)
  [ "$(head -n 1 "$tpc")" = "Events Data:" ] && echo "ok: no to-do lines, then the separator" \
    || { echo "FAIL: first line $(head -n 1 "$tpc")"; failures=$((failures+1)); }
  [ "$(echo "$events" | wc -l)" = 24 ] && echo "ok: 24 holiday lines" \
    || { echo "FAIL: $(echo "$events" | wc -l) event lines"; failures=$((failures+1)); }
  echo "$events" | grep -qx '2005-11-24 00:00:00|2005-11-24 00:00:00//Thanksgiving' && echo "ok: Thanksgiving 2005" \
    || { echo "FAIL: no Thanksgiving 2005 line"; failures=$((failures+1)); }
  [ "$(echo "$events" | sort)" = "$events" ] && echo "ok: chronological order" \
    || { echo "FAIL: not in order"; failures=$((failures+1)); }
  [ "$(echo "$events" | cut -c1-4 | sort -u | tr '\n' ' ')" = "2005 2006 2007 " ] && echo "ok: the three years" \
    || { echo "FAIL: years $(echo "$events" | cut -c1-4 | sort -u | tr '\n' ' ')"; failures=$((failures+1)); }

  rm -f "$tpc"
  make_app "$WORK/tervin" "Lumora Tervin Edition"
  run_once "$WORK/tervin" || failures=$((failures+1))
  [ "$(sed -n '/^Events Data:$/,$p' "$tpc" | tail -n +2 | wc -l)" = 37 ] && echo "ok: 13 special events added" \
    || { echo "FAIL: $(wc -l < "$tpc") lines for the Tervin edition"; failures=$((failures+1)); }

  # A seeded file comes back with every line it had.
  printf '1\tBuy milk\n0\tCall Ann\nEvents Data:\r\n2006-03-01 09:00:00|2006-03-01 10:00:00//Dentist\n2006-12-25 00:00:00|2006-12-25 00:00:00//Party//Countdown\n\nno bar here\n2006-05-05 00:00:01|2006-05-05 00:00:01//Note|with bar\n' > "$tpc"
  run_once "$WORK/plain" 1 || failures=$((failures+1))   # the year view reports the damaged line
  for line in "$(printf '1\tBuy milk')" "$(printf '0\tCall Ann')" \
              '2006-03-01 09:00:00|2006-03-01 10:00:00//Dentist' \
              '2006-12-25 00:00:00|2006-12-25 00:00:00//Party//Countdown' \
              '2006-05-05 00:00:01|2006-05-05 00:00:01//Note|with bar' \
              '2005-11-24 00:00:00|2005-11-24 00:00:00//Thanksgiving'; do
    grep -qxF "$line" "$tpc" && echo "ok: kept: $line" || { echo "FAIL: lost: $line"; failures=$((failures+1)); }
  done
  grep -q '^2006-12-25 00:00:00|2006-12-25 00:00:00//Christmas' "$tpc" \
    && { echo "FAIL: the countdown record did not replace the holiday"; failures=$((failures+1)); } \
    || echo "ok: the countdown record replaces the holiday of its day"
  grep -q '^no bar here' "$tpc" && echo "ok: a line without | is kept" || { echo "FAIL: line without | lost"; failures=$((failures+1)); }

  # A file that is not text: a message, and the file is still there, unchanged.
  head -c 3000 /dev/urandom > "$tpc"; printf '\0\0' >> "$tpc"
  before=$(md5sum < "$tpc")
  run_once "$WORK/plain" 1 || failures=$((failures+1))
  [ -f "$tpc" ] && [ "$(md5sum < "$tpc")" = "$before" ] && echo "ok: unreadable file unchanged" \
    || { echo "FAIL: unreadable file changed or gone"; ls -la "$HOME/Documents"; failures=$((failures+1)); }
  exit $failures
}

run_scenario scenario
