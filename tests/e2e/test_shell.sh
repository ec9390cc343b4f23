#!/usr/bin/env bash
# The program starts, writes its preferences, refuses a second copy, survives a killed
# copy's lock, stops cleanly without branding (writing no events file), and quits with Ctrl+Q.
source "$(dirname "$0")/lib.sh"

scenario() {
  failures=0
  "$BIN" & first=$!
  win=$(wait_window '^Calendar$' 15) || { echo "FAIL: no calendar window"; exit 1; }
  sleep 1
  prefs=$(cat "$HOME/.config/LMCalendar.prefs" 2>/dev/null)
  [ "$prefs" = "0;0;1" ] && [ "$(stat -c %s "$HOME/.config/LMCalendar.prefs")" = 5 ] \
    && echo "ok: first start writes 0;0;1" || { echo "FAIL: prefs are '$prefs'"; failures=$((failures+1)); }
  g=$(geometry "$win")
  [ "$g" = "0 0 1280 1024" ] && echo "ok: calendar covers the work area" \
    || { echo "FAIL: calendar geometry $g"; failures=$((failures+1)); }

  # A second copy: its message, status 0, the first keeps running.
  echo "1;250;0" > "$HOME/.config/LMCalendar.prefs"
  "$BIN" & second=$!
  box=$(wait_window '^Lumora Calendar$' 10) || { echo "FAIL: no message for the second copy"; failures=$((failures+1)); }
  [ -n "$box" ] && press "$box" Return
  wait_exit "$second" 10; status=$EXIT_STATUS
  [ "$status" = 0 ] && echo "ok: second copy ends with 0" || { echo "FAIL: second copy status $status"; failures=$((failures+1)); }
  [ "$(cat "$HOME/.config/LMCalendar.prefs")" = "1;250;0" ] && echo "ok: second copy leaves the preferences alone" \
    || { echo "FAIL: second copy wrote the preferences"; failures=$((failures+1)); }
  kill -0 "$first" 2>/dev/null && echo "ok: first copy still runs" || { echo "FAIL: first copy ended"; failures=$((failures+1)); }

  # A killed copy's lock does not block the next start; Ctrl+Q quits it with 0.
  kill -9 "$first"; wait "$first" 2>/dev/null
  "$BIN" & third=$!
  win=$(wait_window '^Calendar$' 15) && echo "ok: starts after a killed copy" || { echo "FAIL: no start after kill -9"; failures=$((failures+1)); }
  sleep 1
  press "$win" ctrl+q
  wait_exit "$third" 10; status=$EXIT_STATUS
  [ "$status" = 0 ] && echo "ok: Ctrl+Q quits with 0" || { echo "FAIL: Ctrl+Q status $status"; failures=$((failures+1)); kill -9 "$third" 2>/dev/null; }
  [ "$(cat "$HOME/.config/LMCalendar.prefs")" = "1;250;0" ] && echo "ok: quit writes the values read" \
    || { echo "FAIL: prefs after quit: $(cat "$HOME/.config/LMCalendar.prefs")"; failures=$((failures+1)); }

  # Quit while the calendar is slid away: its close handler still writes the events file.
  "$BIN" & fourth=$!
  win=$(wait_window '^Calendar$' 15) || { echo "FAIL: no calendar window"; failures=$((failures+1)); }
  sleep 1
  press "$win" ctrl+w
  for _ in $(seq 1 50); do xwininfo -id "$win" 2>/dev/null | grep -q IsViewable || break; sleep 0.1; done
  rm -f "$HOME/Documents/Calendar.tpc"
  tab=$(wait_window '^Tab$' 5) && press "$tab" ctrl+q
  wait_exit "$fourth" 10; status=$EXIT_STATUS
  [ "$status" = 0 ] && grep -qx 'Events Data:' "$HOME/Documents/Calendar.tpc" 2>/dev/null \
    && echo "ok: quitting while slid away saves the events" \
    || { echo "FAIL: quit while slid away: status $status, events file $(ls "$HOME/Documents")"; failures=$((failures+1)); kill -9 "$fourth" 2>/dev/null; }

  # The branding vanishes during the run: the re-read on the space key reports it and the
  # program ends instead of running on without branding.
  mkdir -p "$WORK/moving" && cp "$BIN" "$WORK/moving/" && cp -r "$BUILD_DIR/Standard" "$WORK/moving/"
  "$WORK/moving/lumora-calendar" & fifth=$!
  win=$(wait_window '^Calendar$' 15) || { echo "FAIL: no calendar window"; failures=$((failures+1)); }
  sleep 1
  mv "$WORK/moving/Standard" "$WORK/moving-standard"
  press "$win" space
  box=$(wait_window '^Lumora Calendar$' 10) && press "$box" Return
  wait_exit "$fifth" 10; status=$EXIT_STATUS
  [ "$status" = 0 ] && echo "ok: a failed re-read ends the program" \
    || { echo "FAIL: failed re-read: status $status"; failures=$((failures+1)); kill -9 "$fifth" 2>/dev/null; }

  # No branding folder beside the program: the folder message, status 0, no calendar, and
  # no events file written (the earlier steps' file is moved away first, so that one written
  # by this run would show).
  mkdir -p "$WORK/bare" && cp "$BIN" "$WORK/bare/"
  mv "$HOME/Documents/Calendar.tpc" "$WORK/kept-events" 2>/dev/null
  "$WORK/bare/lumora-calendar" & bare=$!
  box=$(wait_window '^Lumora Calendar$' 10) || { echo "FAIL: no message without branding"; failures=$((failures+1)); }
  xdotool search --onlyvisible --name '^Calendar$' >/dev/null 2>&1 && { echo "FAIL: calendar shown without branding"; failures=$((failures+1)); }
  [ -n "$box" ] && press "$box" Return
  wait_exit "$bare" 10; status=$EXIT_STATUS
  [ "$status" = 0 ] && echo "ok: no branding ends with 0" || { echo "FAIL: no-branding status $status"; failures=$((failures+1)); kill -9 "$bare" 2>/dev/null; }
  [ ! -e "$HOME/Documents/Calendar.tpc" ] && echo "ok: no events file without branding" \
    || { echo "FAIL: a run without branding wrote $(wc -c < "$HOME/Documents/Calendar.tpc") bytes of events"; failures=$((failures+1)); }
  exit $failures
}

run_scenario scenario
