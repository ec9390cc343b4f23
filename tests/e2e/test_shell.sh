#!/usr/bin/env bash
# The program starts, writes its preferences, refuses a second copy, survives a killed
# copy's lock, stops cleanly without branding (writing no events file), and quits with Ctrl+Q.
# On an X server that resets when its last client leaves it starts every time; an X server
# that ends while it starts ends it with one line and status 1, never by a signal, no lock
# left and nothing written; one that refuses the connection's set-up is said once.
source "$(dirname "$0")/lib.sh"

# A step that the rest of its case needs failed: counted once, the case's program ended.
broken() { # what, pid
  echo "FAIL: $1 (the rest of this case is skipped)"; failures=$((failures+1))
  kill -9 "$2" 2>/dev/null; wait "$2" 2>/dev/null
}
first_start_written() {
  [ "$(cat "$HOME/.config/LMCalendar.prefs" 2>/dev/null)" = "0;0;1" ] \
    && [ "$(stat -c %s "$HOME/.config/LMCalendar.prefs")" = 5 ]
}

covers_work_area() { [ "$(geometry "$win")" = "0 0 1280 1024" ]; }

first_start() {
  "$BIN" & first=$!
  win=$(wait_window '^Calendar$') || { broken "no calendar window" "$first"; exit $failures; }
  within first_start_written && echo "ok: first start writes 0;0;1" \
    || { echo "FAIL: prefs are '$(cat "$HOME/.config/LMCalendar.prefs" 2>/dev/null)'"; failures=$((failures+1)); }
  within covers_work_area && echo "ok: calendar covers the work area" \
    || { echo "FAIL: calendar geometry $(geometry "$win")"; failures=$((failures+1)); }

  # A second copy: its message, status 0, the first keeps running.
  echo "1;250;0" > "$HOME/.config/LMCalendar.prefs"
  "$BIN" & second=$!
  box=$(wait_window '^Lumora Calendar$') || { broken "no message for the second copy" "$second"; return; }
  press "$box" Return
  wait_exit "$second"; status=$EXIT_STATUS
  [ "$status" = 0 ] && echo "ok: second copy ends with 0" || { echo "FAIL: second copy status $status"; failures=$((failures+1)); }
  [ "$(cat "$HOME/.config/LMCalendar.prefs")" = "1;250;0" ] && echo "ok: second copy leaves the preferences alone" \
    || { echo "FAIL: second copy wrote the preferences"; failures=$((failures+1)); }
  kill -0 "$first" 2>/dev/null && echo "ok: first copy still runs" || { echo "FAIL: first copy ended"; failures=$((failures+1)); }
}

killed_copy() {
  # A killed copy's lock does not block the next start; Ctrl+Q quits it with 0.
  kill -9 "$first"; wait "$first" 2>/dev/null
  "$BIN" & third=$!
  win=$(wait_window '^Calendar$') && echo "ok: starts after a killed copy" || { broken "no start after kill -9" "$third"; return; }
  press "$win" ctrl+q
  wait_exit "$third"; status=$EXIT_STATUS
  [ "$status" = 0 ] && echo "ok: Ctrl+Q quits with 0" || { echo "FAIL: Ctrl+Q status $status"; failures=$((failures+1)); kill -9 "$third" 2>/dev/null; }
  [ "$(cat "$HOME/.config/LMCalendar.prefs")" = "1;250;0" ] && echo "ok: quit writes the values read" \
    || { echo "FAIL: prefs after quit: $(cat "$HOME/.config/LMCalendar.prefs")"; failures=$((failures+1)); }
}

quit_slid_away() {
  # Quit while the calendar is slid away: its close handler still writes the events file.
  "$BIN" & fourth=$!
  win=$(wait_window '^Calendar$') || { broken "no calendar window" "$fourth"; return; }
  press "$win" ctrl+w
  within bash -c "! xwininfo -id $win 2>/dev/null | grep -q IsViewable" \
    || { broken "the calendar does not slide away at Ctrl+W" "$fourth"; return; }
  rm -f "$HOME/Documents/Calendar.tpc"
  tab=$(wait_window '^Tab$') || { broken "no tab" "$fourth"; return; }
  press "$tab" ctrl+q
  wait_exit "$fourth"; status=$EXIT_STATUS
  [ "$status" = 0 ] && grep -qx 'Events Data:' "$HOME/Documents/Calendar.tpc" 2>/dev/null \
    && echo "ok: quitting while slid away saves the events" \
    || { echo "FAIL: quit while slid away: status $status, events file $(ls "$HOME/Documents")"; failures=$((failures+1)); kill -9 "$fourth" 2>/dev/null; }
}

branding_vanishes() {
  # The branding vanishes during the run: the re-read on the space key reports it and the
  # program ends instead of running on without branding.
  mkdir -p "$WORK/moving" && cp "$BIN" "$WORK/moving/" && cp -r "$BUILD_DIR/Standard" "$WORK/moving/"
  "$WORK/moving/lumora-calendar" & fifth=$!
  win=$(wait_window '^Calendar$') || { broken "no calendar window" "$fifth"; return; }
  mv "$WORK/moving/Standard" "$WORK/moving-standard"
  press "$win" space
  box=$(wait_window '^Lumora Calendar$') || { broken "no message for the vanished branding" "$fifth"; return; }
  press "$box" Return
  wait_exit "$fifth"; status=$EXIT_STATUS
  [ "$status" = 0 ] && echo "ok: a failed re-read ends the program" \
    || { echo "FAIL: failed re-read: status $status"; failures=$((failures+1)); kill -9 "$fifth" 2>/dev/null; }
}

no_branding() {
  # No branding folder beside the program: the folder message, status 0, no calendar, and
  # no events file written (the earlier steps' file is moved away first, so that one written
  # by this run would show).
  mkdir -p "$WORK/bare" && cp "$BIN" "$WORK/bare/"
  mv "$HOME/Documents/Calendar.tpc" "$WORK/kept-events" 2>/dev/null
  "$WORK/bare/lumora-calendar" & bare=$!
  box=$(wait_window '^Lumora Calendar$') || { broken "no message without branding" "$bare"; return; }
  xdotool search --onlyvisible --name '^Calendar$' >/dev/null 2>&1 && { echo "FAIL: calendar shown without branding"; failures=$((failures+1)); }
  press "$box" Return
  wait_exit "$bare"; status=$EXIT_STATUS
  [ "$status" = 0 ] && echo "ok: no branding ends with 0" || { echo "FAIL: no-branding status $status"; failures=$((failures+1)); kill -9 "$bare" 2>/dev/null; }
  [ ! -e "$HOME/Documents/Calendar.tpc" ] && echo "ok: no events file without branding" \
    || { echo "FAIL: a run without branding wrote $(wc -c < "$HOME/Documents/Calendar.tpc") bytes of events"; failures=$((failures+1)); }
}

# A fresh X server that resets when its last client leaves, as xvfb-run's and a desktop's
# do: the program's start never leaves it without a client of its own (it did between its
# check that a display answers and the toolkit's connection, which the server then turned
# away: the program aborted). The server's log is read once the calendar shows.
fresh_x_server() {
  local -x DISPLAY pid win
  own_x_server || { fail "no X server of the case's own"; return; }
  DISPLAY=$XSERVER_DISPLAY
  "$BIN" & pid=$!
  win=$(within eval 'visible_window "^Calendar$" || ! kill -0 $pid 2>/dev/null') && [ -n "$win" ] \
    && pass "the calendar shows on it" || fail "no calendar on a fresh X server"
  check "a fresh X server keeps a client of the program's all through its start" kept_a_client $pid
  [ -n "$win" ] && quit_with_ctrl_q "$win" "$pid"
  kill -9 $pid 2>/dev/null; wait $pid 2>/dev/null
  end_x_server
}

# The X server ends while the program starts: just after the toolkit connected (it then
# sets up its screens, the program its pictures' decoders and the window), and once the
# window shows. The toolkit aborted, crashed reading replies that never came, or ended the
# program with exit() under the decoders, leaving the lock behind.
x_server_ends_at_start() {
  local -x DISPLAY pid moment lock="$XDG_CONFIG_HOME/Desktop Lumora Calendar.lock"
  local event='2025-03-10 09:00:00|2025-03-10 10:00:00//Dentist'
  mkdir -p "$HOME/Documents"
  printf 'Events Data:\n%s\n' "$event" > "$HOME/Documents/Calendar.tpc"
  for moment in connected connected connected window; do
    own_x_server || { fail "no X server of the case's own"; return; }
    DISPLAY=$XSERVER_DISPLAY
    "$BIN" 2>"$WORK/ended.err" & pid=$!
    case $moment in
      connected) WITHIN_STEP=0.005 within 10 x_connected_twice $pid ;;
      window) wait_window '^Calendar$' >/dev/null ;;
    esac
    end_x_server
    wait_exit $pid || kill -9 $pid 2>/dev/null
    check "the server ended when $moment: the program ends with status 1 ($EXIT_STATUS)" [ "$EXIT_STATUS" = 1 ]
    # Qt's note on a start without XDG_RUNTIME_DIR (as the tests start) aside.
    check "it says why in one line, and nothing else" awk '/^QStandardPaths: XDG_RUNTIME_DIR not set/ { next }
      ++n == 1 && /^lumora-calendar: (the X display ".*" went away, so the calendar ends|needs an X11 display .*)$/ { ok = 1 }
      END { exit !(ok && n == 1) }' "$WORK/ended.err"
    check "it leaves no lock" [ ! -e "$lock" ]
    # As it was, or as the program writes it (a window that opened saves at the display's end).
    check "the events file keeps its event" grep -qxF "$event" "$HOME/Documents/Calendar.tpc"
    check "and its form" grep -qx 'Events Data:' "$HOME/Documents/Calendar.tpc"
  done
}

# An X server that refuses the connection's set-up (no cookie, or a wrong one): libxcb writes the
# server's reason to standard error at every try, and the display's asking again for a server
# that closed the connection said it some seventy times. A refusal is said once and not asked
# again.
refused_set_up() {
  local -x DISPLAY XAUTHORITY=/nonexistent
  local status
  xauth -q -f "$WORK/server-auth" add :0 . "$(mcookie)" 2>/dev/null   # the server takes every cookie in it
  own_x_server -auth "$WORK/server-auth" || { fail "no X server with a cookie of its own"; return; }
  DISPLAY=$XSERVER_DISPLAY
  "$BIN" 2>"$WORK/refused.err"; status=$?
  check "a server that refuses the set-up: the program ends with status 1 ($status)" [ $status = 1 ]
  check "it says the server's reason, then its own line, once each" awk '
    NR == 1 && /^Authorization required/ { reason = 1 }
    NR == 2 && /^lumora-calendar: needs an X11 display/ { own = 1 }
    END { exit !(reason && own && NR == 2) }' "$WORK/refused.err"
  end_x_server
}

scenario() {
  failures=0
  first_start
  killed_copy
  quit_slid_away
  branding_vanishes
  no_branding
  fresh_x_server
  x_server_ends_at_start
  refused_set_up
  exit $(( failures + FAILURES ))
}

run_scenario scenario
