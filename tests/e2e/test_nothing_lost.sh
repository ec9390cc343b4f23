#!/usr/bin/env bash
# Nothing the user wrote is lost by the paths around saving: to-do lines keep their whole
# text, a file without its "Events Data:" line keeps its events, SIGTERM, SIGHUP and SIGINT
# quit as Ctrl+Q does, an unchanged countdown dialog stores nothing, and the single-instance
# lock is one per user whatever XDG_RUNTIME_DIR says, reports when it cannot be made, and
# comes before any reading of the user's data. A file-size limit fails a save as a full disk
# does; a FIFO, a device or a link in place of the user's files is reported, never waited on;
# a link that loops in their place or in place of "caldef.dat" is reported and never replaced.
# A quit by signal never waits for a click, even when its save fails. When the display goes
# away, alone or with SIGHUP, what only memory held is written and the lock released, and
# where the display breaks at a chosen point the program ends by no signal of its own; a
# session bus that never answers, or falls silent after an answer, keeps away neither the
# window nor a signal's quit nor the display's end, nor does a display that the program still
# asks for hold up a signal's quit. A SIGHUP ignored from the start (nohup) stays ignored.
source "$(dirname "$0")/lib.sh"
MAKE_EVENTS="$(cd "$(dirname "$0")/../.." && pwd)/bench/make_events.sh"

TPC="$HOME/Documents/Calendar.tpc"
PREFS="$XDG_CONFIG_HOME/LMCalendar.prefs"

todo_lines() { sed '/^Events Data:$/,$d' "$TPC" 2>/dev/null; }
# Whether the week at a glance's first to-do row holds the white editor of an item being typed
# (its 19-pixel rows lie below the list's header, under the glance header and the month list).
todo_row_editing() {
  [ "$(screen_pixel $(( SCREEN_W - 168 + 130 )) $(( TITLE + 60 + 132 + 21 + 4 )))" = "255 255 255" ]
}

# Starts the program ($1: program, default the built one) and waits for the calendar's slide
# in to end; sets PID and WIN. A shell starts background jobs with SIGINT ignored, which the
# program keeps: the signals get their default effect back first, as in a terminal or a
# desktop session.
start() {
  env --default-signal=INT,HUP "${@:-$BIN}" & PID=$!
  WIN=$(wait_window '^Calendar$') && within rests_in_view "$WIN" \
    || { fail "no calendar window at rest"; kill -9 $PID 2>/dev/null; return 1; }
}

quit_with() { # key or signal name (ctrl+q, TERM, HUP, INT) -> EXIT_STATUS
  case $1 in
    ctrl+q) press "$WIN" ctrl+q ;;
    *) kill -s "$1" $PID ;;
  esac
  reap $PID
}

todo_text_and_missing_separator() {
  # A line without a TAB, one whose text holds a TAB, a misspelt separator and an event.
  mkdir -p "$HOME/Documents"
  printf 'Buy milk\n1\tCall Ann\tafter 5pm\nEvent Data:\n%s\n' \
    '2025-03-10 09:00:00|2025-03-10 10:00:00//Dentist' > "$TPC"
  start || return
  quit_with ctrl+q
  check "a to-do line without a TAB keeps its text, unticked" grep -qxF "$(printf '0\tBuy milk')" "$TPC"
  check "a to-do text keeps what follows its second TAB" grep -qxF "$(printf '1\tCall Ann\tafter 5pm')" "$TPC"
  check "the misspelt separator stays a to-do item" grep -qxF "$(printf '0\tEvent Data:')" "$TPC"
  check "the event of a file without separator is kept" \
    grep -qxF '2025-03-10 09:00:00|2025-03-10 10:00:00//Dentist' "$TPC"
  check "the event is written after the separator" \
    [ "$(sed -n '/^Events Data:$/,$p' "$TPC" | grep -c Dentist)" = 1 ]
  check "the to-do part holds the three items only" [ "$(todo_lines | wc -l)" = 3 ]
}

# Whether process $1 ignores SIGHUP and catches SIGTERM and SIGINT (the signals' bits, from 1,
# in its masks).
hup_ignored() {
  local ignored caught
  ignored=$(awk '/^SigIgn:/ {print $2}' /proc/$1/status 2>/dev/null) || return 1
  caught=$(awk '/^SigCgt:/ {print $2}' /proc/$1/status 2>/dev/null) || return 1
  (( (0x$ignored & 1) && !(0x$caught & 1) && (0x$caught & 2) && (0x$caught & 1 << 14) ))
}

signals_quit_normally() {
  local sig
  for sig in TERM HUP INT; do
    rm -f "$TPC"
    printf '0;0;1' > "$PREFS"   # not a first start: no help overlay over the year view
    # The last one started as nohup starts a program: with SIGHUP ignored.
    if [ $sig = INT ]; then start env --ignore-signal=HUP "$BIN" || return; else start || return; fi
    if [ $sig = TERM ]; then
      # A to-do item typed in the week at a glance is written only when the week is left.
      measure_year_view "$WIN" || { fail "no calendar area borders found"; kill -9 $PID; return; }
      click $YEAR_X $YEAR_Y
      click $(( SCREEN_W - 168 + 60 )) $(( TITLE + 60 + 132 + 10 ))
      xdotool type --delay 20 "Water plants"; xdotool key Return; sleep 0.3
    fi
    if [ $sig = INT ]; then
      kill -HUP $PID
      check "SIGHUP ignored from the start stays ignored, the other two caught" hup_ignored $PID
    fi
    rm -f "$PREFS"
    quit_with $sig
    check "SIG$sig quits with status 0" [ "$EXIT_STATUS" = 0 ]
    check "SIG$sig writes the events file" grep -qx 'Events Data:' "$TPC"
    check "SIG$sig writes the preferences" [ -s "$PREFS" ]
    check "SIG$sig releases the lock" [ ! -e "$XDG_CONFIG_HOME/Desktop Lumora Calendar.lock" ]
    [ $sig = TERM ] && check "SIGTERM saves the unsaved to-do item" grep -qxF "$(printf '0\tWater plants')" "$TPC"
  done
}

unchanged_countdown_stores_nothing() {
  # An edition whose three years lie ten years back: this year has no Christmas entry, so
  # the tile counts down to a day for which the store holds no record.
  local dir="$WORK/past" tile_y before after
  mkdir -p "$dir" && cp "$BIN" "$dir/" && cp -r "$BUILD_DIR/Standard" "$dir/Edition"
  sed -i "s/^calendarStartYear=.*/calendarStartYear=$(( $(date +%Y) - 10 ))/" "$dir/Edition/calspc.dat"
  rm -f "$TPC"
  printf '1;0;1' > "$PREFS"
  start "$dir/lumora-calendar" || return
  measure_year_view "$WIN" || { fail "no calendar area borders found"; kill -9 $PID; return; }
  tile_y=$(( TITLE + AREA - 5 - 65 ))
  tile_shot() { import -window root "$SHOT" 2>/dev/null; convert "$SHOT" -crop "110x90+5+$(( tile_y - 60 ))" +repage rgb:- | md5sum; }
  before=$(tile_shot)
  click 60 $tile_y
  dialog=$(wait_window '^Calendar Countdown Event$') || { fail "no countdown dialog"; kill -9 $PID; return; }
  press "$dialog" Return; sleep 0.8
  after=$(tile_shot)
  check "the tile is as it was" [ "$before" = "$after" ]
  quit_with ctrl+q
  check "no countdown record is stored" bash -c "! grep -q 'Countdown' '$TPC'"
}

one_lock_per_user() {
  local second bare
  mkdir -p "$WORK/run"
  rm -f "$TPC"
  XDG_RUNTIME_DIR="$WORK/run" start || return
  # A copy that the running one refuses: sets box, EXIT_STATUS and HWM, its memory's peak
  # (kB) while its message shows.
  refused_copy() {
    "$BIN" & second=$!
    box=$(wait_window '^Lumora Calendar$') && HWM=$(awk '/^VmHWM/ {print $2}' /proc/$second/status) \
      && press "$box" Return
    reap $second
  }
  refused_copy
  refused() { [ -n "$box" ] && [ "$EXIT_STATUS" = 0 ] && kill -0 $PID 2>/dev/null; }
  check "a copy without XDG_RUNTIME_DIR is refused while one with it runs" refused
  # A refused copy reads nothing of the user's data: beside a large events file its memory
  # stays that of a bare refused start.
  bare=${HWM:-0}
  bash "$MAKE_EVENTS" 300000 "$TPC"
  refused_copy
  check "a refused copy does not read a large events file (peak ${HWM:-?} kB, ${bare} kB without it)" \
    test -n "$box" -a "${HWM:-999999}" -lt $(( bare + 16384 ))
  rm -f "$TPC"
  quit_with ctrl+q

  # A lock that cannot be made is reported as such, with its place, and the program ends.
  rm -f "$WORK/lock.err"
  XDG_RUNTIME_DIR=/proc XDG_CONFIG_HOME=/proc/lumora "$BIN" 2>"$WORK/lock.err" & second=$!
  box=$(wait_window '^Lumora Calendar$') && press "$box" Return
  reap $second
  check "an impossible lock is reported" [ -n "$box" ]
  check "the report names the lock's place" grep -q '/proc/lumora' "$WORK/lock.err"
  check "it is not taken for another copy" bash -c "! grep -q 'already running' '$WORK/lock.err'"
  check "the program ends with status 1" [ "$EXIT_STATUS" = 1 ]
}

# A file-size limit below the events file's size (ulimit -f): the save fails as on a full
# disk, with the system's reason, instead of ending the program (SIGXFSZ); the old file is
# kept, the change stays in memory and is saved once the limit is lifted.
file_size_limit() {
  local before box
  bash "$MAKE_EVENTS" 20000 "$TPC"   # about 1 MB
  printf '0;0;1' > "$PREFS"
  before=$(md5sum < "$TPC")
  start bash -c 'ulimit -S -f 256; exec "$0" 2>"$1"' "$BIN" "$WORK/limit.err" || return
  measure_year_view "$WIN" || { fail "no calendar area borders found"; kill -9 $PID; return; }
  click $YEAR_X $YEAR_Y
  click $(( SCREEN_W - 168 + 60 )) $(( TITLE + 60 + 132 + 10 ))
  xdotool type --delay 20 "Water plants"; xdotool key Return; sleep 0.3
  click 29 $(( TITLE + 17 ))   # back to the year view, which saves
  box=$(wait_window '^Lumora Calendar$')
  check "a save past the limit is reported" [ -n "$box" ]
  check "with the system's reason" grep -qxF 'Your events could not be saved to "Calendar.tpc". File too large' \
    "$WORK/limit.err"
  check "the program lives on" kill -0 $PID
  check "the old file is kept" [ "$(md5sum < "$TPC")" = "$before" ]
  [ -n "$box" ] && press "$box" Return
  prlimit --pid $PID --fsize=unlimited
  quit_with ctrl+q
  check "quits with 0 once the limit is lifted" [ "$EXIT_STATUS" = 0 ]
  check "the change kept in memory is saved then" grep -qxF "$(printf '0\tWater plants')" "$TPC"
}

# A FIFO or a device in place of "Calendar.tpc", a FIFO or a link in place of the lock: each
# is reported by name at once (never waited on, nor the unexpected-error dialog), left as it
# was, and one SIGTERM still ends the program. A link to an events file is followed.
odd_files() {
  local lock="$XDG_CONFIG_HOME/Desktop Lumora Calendar.lock" what said box
  printf '0;0;1' > "$PREFS"
  for what in fifo device lock-fifo lock-link; do
    rm -f "$TPC" "$lock" "$WORK/target"
    case $what in
      fifo) mkfifo "$TPC"; said='Your events file "Calendar.tpc" could not be read: it is a FIFO (named pipe).' ;;
      # A node of its own, or no device case: a link into /dev that a faulty save followed
      # would replace a device of the machine.
      device) mknod "$TPC" c 1 3 2>/dev/null || { echo "skipped: $what (no mknod here)"; continue; }
        said='Your events file "Calendar.tpc" could not be read: it is a device.' ;;
      lock-fifo) mkfifo "$lock"; said="The calendar could not create its lock file \"$lock\": it is a FIFO (named pipe)." ;;
      lock-link) ln -s "$WORK/target" "$lock"
        said="The calendar could not create its lock file \"$lock\": it is a symbolic link." ;;
    esac
    env --default-signal=INT,HUP "$BIN" 2>"$WORK/odd.err" & PID=$!
    # SIGTERM is sent while the message shows: without it, the case is skipped.
    box=$(wait_window '^Lumora Calendar$') \
      || { fail "$what: no message (the rest of this case is skipped)"; kill -9 $PID 2>/dev/null; wait $PID 2>/dev/null; continue; }
    quit_with TERM
    check "$what: reported by name" grep -qF "$said" "$WORK/odd.err"
    check "$what: one SIGTERM ends the program" [ "$EXIT_STATUS" = 0 ]
    case $what in
      fifo) check "$what: left in place" [ -p "$TPC" ] ;;
      device) check "$what: left in place" [ -c "$TPC" ] ;;
      lock-fifo) check "$what: left in place" [ -p "$lock" ] ;;
      lock-link) check "$what: left in place, no file made at its target" test -L "$lock" -a ! -e "$WORK/target" ;;
    esac
  done
  rm -f "$TPC" "$lock"
  printf 'Events Data:\n' > "$WORK/target"
  ln -s "$WORK/target" "$TPC"
  start || return
  quit_with ctrl+q
  check "a linked events file stays a link" [ -L "$TPC" ]
  check "its target is written" grep -q Christmas "$WORK/target"
}

# A link that loops in place of the events file, of the preferences and of "caldef.dat"
# beside the program is no missing file: each is reported with the system's reason, and the
# quit writes over none of the links. The links go whatever happens: the next case needs the
# files.
looping_links() {
  looping_links_case
  kill -9 $PID 2>/dev/null; wait $PID 2>/dev/null
  rm -rf "$TPC" "$PREFS" "$WORK/app"
}
# Answers the message on the screen, if one shows; true once the calendar window shows (WIN).
calendar_after_messages() {
  local box
  WIN=$(visible_window '^Calendar$') && return 0
  box=$(visible_window '^Lumora Calendar$') && press "$box" Return && within 10 window_gone "$box"
  return 1
}
looping_links_case() {
  local app="$WORK/app"
  rm -f "$TPC" "$PREFS"
  ln -s "$TPC" "$TPC"
  ln -s "$PREFS" "$PREFS"
  mkdir -p "$app" && cp "$BIN" "$app/" && cp -r "$BUILD_DIR/Standard" "$app/"
  ln -s caldef.dat "$app/caldef.dat"
  env --default-signal=INT,HUP "$app/lumora-calendar" 2>"$WORK/loop.err" & PID=$!
  # The messages of the three files, each answered as it comes (a key lost on a busy machine
  # is pressed again), until the calendar shows.
  within calendar_after_messages || { fail "no calendar window"; return 1; }
  quit_with ctrl+q
  check "a looping events file is reported" grep -qF \
    'Your events file "Calendar.tpc" could not be read: it cannot be opened (Too many levels of symbolic links).' \
    "$WORK/loop.err"
  check "looping preferences are reported" grep -qF \
    "The preferences file \"$PREFS\" cannot be used: Too many levels of symbolic links." "$WORK/loop.err"
  check "a looping caldef.dat is reported" grep -qF \
    "The default calendar file \"$app/caldef.dat\" cannot be read: Too many levels of symbolic links." "$WORK/loop.err"
  check "quits with 0" [ "$EXIT_STATUS" = 0 ]
  check "the events file's link is kept" test -L "$TPC"
  check "the preferences' link is kept" test -L "$PREFS"
  check "caldef.dat's link is kept" test -L "$app/caldef.dat"
}

# A quit asked by a signal never waits for a click: with the events file on a read-only place
# SIGTERM ends the program at once, with the failed save on standard error and no lock left,
# also while the menu's Quit waits at that message; the menu's Quit shows a message only when
# there is something to save. A read-only bind mount in a mount namespace of the program's
# own (gone with it) where one can be made, else the program's file-size limit lowered to 0
# once it runs: either stops root's writes too.
read_only_places() {
  local lock="$XDG_CONFIG_HOME/Desktop Lumora Calendar.lock" way=file-size-limit box how
  mkdir -p "$HOME/Documents" "$XDG_CONFIG_HOME"
  : > "$WORK/probe"
  unshare -m --propagation private sh -c 'mount --bind "$1" "$1" && mount -o remount,ro,bind "$1" && ! (: > "$1")' \
    sh "$WORK/probe" 2>/dev/null && way=read-only-mount
  echo "read-only places made by: $way"
  start_read_only() { # places...: starts the program with them read-only, standard error in ro.err
    if [ $way = read-only-mount ]; then
      start unshare -m --propagation private sh -c 'prog=$1 err=$2; shift 2
        for p; do mount --bind "$p" "$p" && mount -o remount,ro,bind "$p" || exit 1; done
        exec "$prog" 2>"$err"' sh "$BIN" "$WORK/ro.err" "$@"
    else
      # Standard error through a pipe: the limit would stop its writes to a file too.
      start bash -c 'exec "$0" 2> >(cat >"$1")' "$BIN" "$WORK/ro.err" && prlimit --pid $PID --fsize=0
    fi
  }
  local saved='^Your events could not be saved to "Calendar\.tpc"\. .'
  for how in TERM ctrl+q-then-TERM; do
    # The edition's holidays are not yet in the file: the quit has something to save.
    printf 'Events Data:\n' > "$TPC"
    printf '0;0;1' > "$PREFS"
    start_read_only "$HOME/Documents" || return
    if [ $how = ctrl+q-then-TERM ]; then
      press "$WIN" ctrl+q
      box=$(wait_window '^Lumora Calendar$' 60)
      check "$how: Ctrl+Q with something to save shows why it failed" [ -n "$box" ]
    fi
    kill -TERM $PID
    reap $PID 5
    check "$how: SIGTERM with the events file on a read-only place ends the program within 5 s, with 0" \
      [ "$EXIT_STATUS" = 0 ]
    check "$how: it says why on standard error" within 10 grep -q "$saved" "$WORK/ro.err"
    check "$how: it leaves no lock" [ ! -e "$lock" ]
    check "$how: the file is as it was" [ "$(cat "$TPC")" = 'Events Data:' ]
  done
  rm -f "$TPC"
  start || return   # the files as this program writes them
  quit_with ctrl+q
  start_read_only "$PREFS" "$HOME/Documents" || return
  quit_with ctrl+q
  check "read-only preferences and events file: Ctrl+Q with nothing changed shows no message, ends with 0" \
    [ "$EXIT_STATUS" = 0 ]
  check "it leaves no lock" [ ! -e "$lock" ]
}

# The display goes away (its X server ends, as at a session's end; with SIGHUP at the same
# time, as startx's end sends it) with the tab dragged to a new place and a to-do item typed in
# the week at a glance, which only memory holds until the quit and until the week is left: both
# are written, the events file keeps its event, and the lock goes. Ended by the display's
# loss, the program says so in one line, status 1.
display_goes_away() {
  local -x DISPLAY how tab tx=0 ty=0 tw=0 th=0 lock="$XDG_CONFIG_HOME/Desktop Lumora Calendar.lock"
  local event='2025-03-10 09:00:00|2025-03-10 10:00:00//Dentist'
  mkdir -p "$HOME/Documents" "$XDG_CONFIG_HOME"
  for how in server server+HUP; do
    own_x_server || { fail "no X server of the case's own"; return; }
    DISPLAY=$XSERVER_DISPLAY
    printf 'Events Data:\n%s\n' "$event" > "$TPC"
    printf '0;0;1' > "$PREFS"
    start bash -c 'exec "$0" 2>"$1"' "$BIN" "$WORK/gone.err" || { end_x_server; return; }
    measure_year_view "$WIN" || { fail "no calendar area borders found"; kill -9 $PID; end_x_server; return; }
    # Dragged 200 pixels to the left: the clicks below come after its release.
    tab=$(wait_window '^Tab$') && read -r tx ty tw th < <(geometry "$tab")
    xdotool mousemove $(( tx + tw / 2 )) $(( ty + th / 2 )) mousedown 1 mousemove $(( tx + tw / 2 - 100 )) $(( ty + th / 2 )) \
      mousemove $(( tx + tw / 2 - 200 )) $(( ty + th / 2 )) mouseup 1
    within 10 eval '[ "$(geometry "$tab" | cut -d" " -f1)" = $(( tx - 200 )) ]' || fail "$how: the tab was not dragged"
    click $YEAR_X $YEAR_Y
    click $(( SCREEN_W - 168 + 60 )) $(( TITLE + 60 + 132 + 10 ))
    # The item's editor (white) shows, then the item in its row once Return is taken.
    within 10 todo_row_editing || fail "$how: no to-do editor"
    xdotool type --delay 20 "Water plants"; xdotool key Return
    within 10 eval '! todo_row_editing' || fail "$how: the to-do item was not taken"
    grep -q 'Water plants' "$TPC" && fail "$how: the to-do item was written before the display went away"
    [ $how = server+HUP ] && kill -HUP $PID
    end_x_server
    reap $PID
    if [ $how = server ]; then
      check "$how: the program ends with status 1 ($EXIT_STATUS)" [ "$EXIT_STATUS" = 1 ]
      check "$how: it says why in one line" grep -qx "lumora-calendar: the X display \"$DISPLAY\" went away, so the calendar ends" \
        "$WORK/gone.err"
    else
      check "$how: the program ends with status 0 or 1, by no signal ($EXIT_STATUS)" [ "$EXIT_STATUS" = 0 -o "$EXIT_STATUS" = 1 ]
    fi
    check "$how: the to-do item is written" grep -qxF "$(printf '0\tWater plants')" "$TPC"
    check "$how: the events file keeps its event" grep -qxF "$event" "$TPC"
    check "$how: the tab's new place is written ($(cat "$PREFS"))" [ "$(cat "$PREFS")" = "0;$(( tx - 200 ));1" ]
    check "$how: the lock goes" [ ! -e "$lock" ]
  done
}

# A change of the server's screens: its output made the primary one (1) or none again (0).
change_screens() {
  /usr/bin/python3 -c 'import sys
from Xlib import display
d = display.Display(); root = d.screen().root
root.xrandr_set_output_primary(root.xrandr_get_screen_resources().outputs[0] if sys.argv[1] == "1" else 0)
d.sync()' "$1"
}
# The display breaks where each of the program's nets for its loss acts, every time: a display
# of the test's own in front of the server (x_proxy.py) breaks the connections at a chosen
# request. As the toolkit asks for its set-up (Qt's fatal error while the application object
# is made), at its first request (Xlib's handler, while Qt opens its display), while it sets up
# its screens and, once the window shows, while it takes in a change of screens (Qt crashes
# on the replies that never came): each time the program ends with status 1 and its one line,
# nothing of the toolkit's own said before it, no lock left. SIGHUP once the display takes no
# more of the program's requests (its writes fail, as on a server gone) quits with 0 and saves.
# A display that turns away the program's first connections (a server that resets while other
# clients leave) gets another one, and the calendar shows.
display_breaks() {
  local entry how rule said lock="$XDG_CONFIG_HOME/Desktop Lumora Calendar.lock" before
  local gone='lumora-calendar: the X display "%s" went away, so the calendar ends'
  local unreachable='lumora-calendar: needs an X11 display (an X server, or XWayland in a Wayland session), and none answers at DISPLAY="%s"'
  mkdir -p "$HOME/Documents" "$XDG_CONFIG_HOME"
  printf 'Events Data:\n' > "$TPC"
  printf '0;0;1' > "$PREFS"
  before=$(md5sum < "$TPC")
  # The program's first connection (main's) is the proxy's first, the toolkit's its second.
  for entry in "as the toolkit asks for its set-up|break:2:0|$unreachable" \
      "at the toolkit's first request|break:2:1|$gone" "while the toolkit sets up its screens|break:2:7|$gone" \
      "while the toolkit takes in a change of screens|screens:2|$gone"; do
    IFS='|' read -r how rule said <<< "$entry"
    x_proxy $rule || { fail "$how: no display of the test's own"; return; }
    if [ $rule = screens:2 ]; then
      start env DISPLAY=$PROXY_DISPLAY bash -c 'exec "$0" 2>"$1"' "$BIN" "$WORK/break.err" || { end_x_proxy; return; }
      change_screens 1
    else
      env DISPLAY=$PROXY_DISPLAY "$BIN" 2>"$WORK/break.err" & PID=$!
    fi
    reap $PID
    end_x_proxy
    check "$how: the program ends with status 1 ($EXIT_STATUS)" [ "$EXIT_STATUS" = 1 ]
    # Qt's note on a start without XDG_RUNTIME_DIR (as the tests start) aside.
    check "$how: it says why in its one line, and nothing else" \
      bash -c '[ "$(grep -v "^QStandardPaths: XDG_RUNTIME_DIR not set" "$1")" = "$2" ]' sh "$WORK/break.err" \
      "$(printf "$said" "$PROXY_DISPLAY")"
    check "$how: it leaves no lock" [ ! -e "$lock" ]
    check "$how: the events file is as it was" [ "$(md5sum < "$TPC")" = "$before" ]
  done
  change_screens 0

  x_proxy pass || { fail "no display of the test's own"; return; }
  rm -f "$TPC"
  start env DISPLAY=$PROXY_DISPLAY bash -c 'exec "$0" 2>"$1"' "$BIN" "$WORK/shut.err" || { end_x_proxy; return; }
  kill -USR1 $PROXY_PID
  within 10 grep -qx shut "$PROXY_LOG" || fail "the display still takes requests"
  kill -HUP $PID 2>/dev/null
  # The quit saves, its writes to the display failing; the program then waits for the display's
  # answers until the display goes.
  within eval 'grep -qx "Events Data:" "$TPC" || ended $PID'
  end_x_proxy
  reap $PID
  # Whichever the program meets first ends it: the signal (status 0, nothing said) or, where
  # something it drew before the signal found the display gone, the display's loss (status 1
  # and the display's line).
  said=$(grep -v "^QStandardPaths: XDG_RUNTIME_DIR not set" "$WORK/shut.err")
  if [ -z "$said" ]; then
    check "SIGHUP as the display takes no more requests quits with 0 ($EXIT_STATUS)" [ "$EXIT_STATUS" = 0 ]
  else
    check "the display that takes no more requests, found gone before the SIGHUP, ends the program with 1 and its line ($EXIT_STATUS: $said)" \
      [ "$EXIT_STATUS" = 1 -a "$said" = "$(printf "$gone" "$PROXY_DISPLAY")" ]
  fi
  check "and writes the events file" grep -qx 'Events Data:' "$TPC"
  check "and leaves no lock" [ ! -e "$lock" ]

  # Five turned away: the program's first try and check, its second try and check, its third.
  x_proxy refuse:5 || { fail "no display of the test's own"; return; }
  EXIT_STATUS=none
  start env DISPLAY=$PROXY_DISPLAY "$BIN" && quit_with ctrl+q
  end_x_proxy
  check "a display that turned away the first connections shows the calendar, which quits with 0" [ "$EXIT_STATUS" = 0 ]
}

# A display that takes every connection and closes it at once (an X server's reset, over and
# over): the program asks again for a while, then says in one line that no display answers,
# status 1. A signal meanwhile (the display sends it as the program asks again), before the
# program has anything of its own, quits it at once with status 0 and no message. A display
# that takes the connection and never answers holds the program up in its asking: a signal
# then ends it by the quit's guard, which says so.
signal_while_the_display_is_asked_again() {
  local sig unreachable='lumora-calendar: needs an X11 display (an X server, or XWayland in a Wayland session), and none answers at DISPLAY="%s"'
  local held='lumora-calendar: the quit that a signal asked for was held up, so the calendar ends here'
  x_proxy refuse:1000000 || { fail "no display of the test's own"; return; }
  DISPLAY=$PROXY_DISPLAY "$BIN" 2>"$WORK/asked.err" & PID=$!
  reap $PID
  end_x_proxy
  check "a display that closes every connection: the program gives up, status 1 ($EXIT_STATUS)" [ "$EXIT_STATUS" = 1 ]
  check "and says so in its one line" \
    bash -c '[ "$(grep lumora-calendar "$1")" = "$2" ]' sh "$WORK/asked.err" "$(printf "$unreachable" "$PROXY_DISPLAY")"
  for sig in TERM HUP INT; do
    x_proxy refuse:1000000:$sig || { fail "no display of the test's own"; return; }
    DISPLAY=$PROXY_DISPLAY env --default-signal=INT,HUP "$BIN" 2>"$WORK/asked.err" & PID=$!
    reap $PID
    end_x_proxy
    check "the display sent SIG$sig as the program asked again" grep -qx "signalled pid $PID" "$PROXY_LOG"
    check "SIG$sig while the display is asked again quits with 0 ($EXIT_STATUS)" [ "$EXIT_STATUS" = 0 ]
    check "SIG$sig: no message" bash -c "! grep -q lumora-calendar '$WORK/asked.err'"
  done
  x_proxy silent:TERM || { fail "no display of the test's own"; return; }
  DISPLAY=$PROXY_DISPLAY "$BIN" 2>"$WORK/asked.err" & PID=$!
  reap $PID
  end_x_proxy
  check "SIGTERM while a display that never answers is asked: the quit's guard ends the program with 0 ($EXIT_STATUS)" \
    [ "$EXIT_STATUS" = 0 ]
  check "and says so" bash -c '[ "$(grep lumora-calendar "$1")" = "$2" ]' sh "$WORK/asked.err" "$held"
}

# A browser of the test's own in $WORK/bin (Qt opens links with xdg-open, found on the PATH): it
# writes the bus address it was given, or "unset", into $WORK/browser.env.
test_browser() {
  mkdir -p "$WORK/bin"
  printf '#!/bin/sh\necho "${DBUS_SESSION_BUS_ADDRESS-unset}" > "%s"\n' "$WORK/browser.env" > "$WORK/bin/xdg-open"
  chmod +x "$WORK/bin/xdg-open"
}

# A session bus that accepts connections and never answers (a wedged bus daemon), or answers
# the first command and then nothing: the calendar shows all the same and says in one line that
# it runs without the bus; a link it opens reaches the browser with the session's bus address as
# it was. A signal while the calendar asks that bus cuts the asking short: the program ends
# within 5 s, with status 0 and no message; one while Qt waits on a bus that answered the
# calendar's asking and then fell silent ends it as well, by the quit's guard; neither leaves a
# lock or changes the events file. The display's end while the calendar asks the bus ends the
# program with status 1 and the display's one line.
silent_session_bus() {
  local entry how mode rule said before lock="$XDG_CONFIG_HOME/Desktop Lumora Calendar.lock"
  local address="unix:path=$WORK/silent-bus"
  mkdir -p "$HOME/Documents" "$XDG_CONFIG_HOME"
  printf 'Events Data:\n' > "$TPC"
  printf '0;0;1' > "$PREFS"
  test_browser
  for entry in "never|never answers" "once|answers its first command and then nothing"; do
    IFS='|' read -r mode how <<< "$entry"
    rm -f "$WORK/silent-bus" "$WORK/browser.env"
    silent_bus "$WORK/silent-bus" $mode || { fail "no silent bus"; return; }
    if DBUS_SESSION_BUS_ADDRESS=$address PATH="$WORK/bin:$PATH" start bash -c 'exec "$0" 2>"$1"' "$BIN" "$WORK/bus.err"; then
      check "with a bus that $how the calendar shows and says so in one line" \
        test "$(grep -c -i bus "$WORK/bus.err")" = 1 -a \
        "$(grep -i bus "$WORK/bus.err")" = "lumora-calendar: the session bus at \"$address\" did not answer within 2 s, so the calendar runs without it"
      if [ $mode = never ]; then
        # Help > Goto ... in the menu bar at the window's top-right corner: its last entry.
        open_menu $(( ${LUMORA_E2E_SCREEN%x*} - 18 )) Down Down Down Return
        check "a link opened reaches the browser with the session's bus address as it was" \
          within grep -qxF "$address" "$WORK/browser.env"
      fi
      quit_with ctrl+q
      check "it quits with 0" [ "$EXIT_STATUS" = 0 ]
    fi
    kill $BUS_PID; wait $BUS_PID 2>/dev/null
  done

  # The bus itself signals the program, at its first connection (the calendar's asking), or,
  # answering that one as a bus daemon does, at its second (Qt's).
  before=$(md5sum < "$TPC")
  for entry in "asks the bus|never|HUP:1|" \
      "waits on a bus that fell silent|first|INT:2|lumora-calendar: the quit that a signal asked for was held up, so the calendar ends here"; do
    IFS='|' read -r how mode rule said <<< "$entry"
    rm -f "$WORK/silent-bus" "$WORK/silent-bus.log"
    silent_bus "$WORK/silent-bus" $mode $rule || { fail "no silent bus"; return; }
    DBUS_SESSION_BUS_ADDRESS=$address env --default-signal=INT,HUP "$BIN" 2>"$WORK/bus.err" & PID=$!
    within grep -qsx "signalled pid $PID" "$WORK/silent-bus.log" || fail "the bus never sent SIG${rule%:*} as the program $how"
    reap $PID 5
    kill $BUS_PID; wait $BUS_PID 2>/dev/null
    check "SIG${rule%:*} as the program $how ends it within 5 s, with 0 ($EXIT_STATUS)" [ "$EXIT_STATUS" = 0 ]
    check "SIG${rule%:*} as the program $how: $([ -n "$said" ] && echo "the quit guard says why" || echo "no message")" \
      [ "$(grep lumora-calendar "$WORK/bus.err")" = "$said" ]
    check "SIG${rule%:*} as the program $how: no lock is left" [ ! -e "$lock" ]
    check "SIG${rule%:*} as the program $how: the events file is as it was" [ "$(md5sum < "$TPC")" = "$before" ]
  done

  # The program's only display, a server of the case's own, ends as the bus is asked.
  rm -f "$WORK/silent-bus" "$WORK/silent-bus.log"
  silent_bus "$WORK/silent-bus" || { fail "no silent bus"; return; }
  own_x_server || { fail "no X server of the case's own"; kill $BUS_PID; return; }
  DISPLAY=$XSERVER_DISPLAY DBUS_SESSION_BUS_ADDRESS=$address "$BIN" 2>"$WORK/bus.err" & PID=$!
  within grep -qsx "connected pid $PID" "$WORK/silent-bus.log" || fail "the program never asked the bus"
  end_x_server
  reap $PID
  kill $BUS_PID; wait $BUS_PID 2>/dev/null
  check "the display gone as the bus is asked: the program ends with status 1 ($EXIT_STATUS)" [ "$EXIT_STATUS" = 1 ]
  check "and says so in the display's one line" \
    [ "$(cat "$WORK/bus.err")" = "lumora-calendar: the X display \"$XSERVER_DISPLAY\" went away, so the calendar ends" ]
}

# Without a bus address no bus is launched (libdbus would launch one through the display, and it
# would outlive the calendar), and a link opened reaches the browser with the address unset, as
# it was. The program is the first client of a display of the case's own: a bus launched
# through the test's display by an earlier start would be found there, and none launched.
no_session_bus_address() {
  local -x DISPLAY PATH="$WORK/bin:$PATH"
  local mark="lumora-e2e-$$-$RANDOM" launched
  test_browser
  own_x_server || { fail "no X server of the case's own"; return; }
  DISPLAY=$XSERVER_DISPLAY
  rm -f "$WORK/browser.env"
  LUMORA_E2E_MARK=$mark env -u DBUS_SESSION_BUS_ADDRESS --default-signal=INT,HUP "$BIN" 2>"$WORK/nobus.err" & PID=$!
  # The test's tools come to the display once the program has its two connections.
  if within x_connected_twice $PID && WIN=$(wait_window '^Calendar$') && within rests_in_view "$WIN"; then
    open_menu $(( ${LUMORA_E2E_SCREEN%x*} - 18 )) Down Down Down Return
    check "without a bus address a link opened reaches the browser with the address unset" \
      within grep -qx unset "$WORK/browser.env"
    quit_with ctrl+q
  else
    fail "no calendar window at rest on a display of the case's own"; kill -9 $PID; wait $PID 2>/dev/null
  fi
  # Whatever the program launched carries the mark in its environment.
  launched=$(for p in $(pgrep -x dbus-launch; pgrep -x dbus-daemon); do
               grep -qzx "LUMORA_E2E_MARK=$mark" /proc/$p/environ 2>/dev/null && echo $p; done)
  launched=$(echo $launched)
  check "without a bus address no bus is launched (${launched:-none})" [ -z "$launched" ]
  [ -n "$launched" ] && kill $launched
  end_x_server
}

scenario() {
  todo_text_and_missing_separator
  signals_quit_normally
  unchanged_countdown_stores_nothing
  one_lock_per_user
  file_size_limit
  odd_files
  looping_links
  read_only_places
  display_goes_away
  display_breaks
  signal_while_the_display_is_asked_again
  silent_session_bus
  no_session_bus_address
  exit $FAILURES
}

run_scenario scenario
