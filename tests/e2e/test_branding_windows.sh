#!/usr/bin/env bash
# The windows under odd preference values and after a rebuild, without a window manager, on
# 1280 x 1024 and 1024 x 768: a stored tab place off the screen is brought back and corrected
# in the preferences, a drag cannot take the tab off the screen, the calendar window's size is
# fixed to the work area, and the help window stays above the calendar window when the
# calendar is rebuilt (space key) or slid away and back, also under a window manager, where a
# click on the tab slides the calendar away after start-up, a rebuild and a slide. Under four
# window managers (openbox; icewm, which also takes buttons off a frame when told; xfwm4 and
# metacity, which keep windows on the screen) each window has the frame and actions of its
# kind, a minimised event dialog or calendar comes back at once, the slide is seen part-way, a
# close request slides the calendar away (the tab brings it back) and leaves the preferences
# open.
source "$(dirname "$0")/lib.sh"

prefs() { cat "$HOME/.config/LMCalendar.prefs"; }
left_of() { geometry "$1" | cut -d' ' -f1; }
# Whether window $1 lies above window $2. Without a window manager xwininfo lists the root's
# children top first; a window manager lists its clients bottom first in
# _NET_CLIENT_LIST_STACKING (their frames are the root's children then).
above() {
  local list a b
  if [ -n "${LUMORA_E2E_WM:-}" ]; then
    list=$(xprop -root _NET_CLIENT_LIST_STACKING | grep -o '0x[0-9a-f]*' | tac)
  else
    list=$(xwininfo -root -children | awk '/^ +0x/ {print $1}')
  fi
  a=$(echo "$list" | grep -n -i "^$(printf '0x%x' "$1")\$" | cut -d: -f1)
  b=$(echo "$list" | grep -n -i "^$(printf '0x%x' "$2")\$" | cut -d: -f1)
  [ -n "$a" ] && [ -n "$b" ] && [ "$a" -lt "$b" ]
}
start() { # prefs line [program] -> sets PID, WIN, TAB
  echo "$1" > "$HOME/.config/LMCalendar.prefs"
  "${2:-$BIN}" & PID=$!
  # A program that did not show is ended: running on, it would hold the lock and fail
  # every later start of the run as well.
  WIN=$(wait_window '^Calendar$') || { fail "no calendar window"; stop_program; return 1; }
  TAB=$(wait_window '^Tab$') || { fail "no tab"; stop_program; return 1; }
  calendar_is IsViewable || { fail "the calendar never rests in view"; stop_program; return 1; }
}
stop_program() { kill -9 "$PID" 2>/dev/null; wait "$PID" 2>/dev/null; }
quit() {
  press "$WIN" ctrl+q
  wait_exit "$PID"
  check "Ctrl+Q quits with status 0 (status $EXIT_STATUS)" test "$EXIT_STATUS" = 0
  [ "$EXIT_STATUS" = timeout ] && kill -9 "$PID" 2>/dev/null
}

scenario() {
  W=${LUMORA_E2E_SCREEN%x*}; H=${LUMORA_E2E_SCREEN#*x}
  mkdir -p "$HOME/.config"
  local rightmost=$((W - 32))
  if [ -n "${LUMORA_E2E_WM:-}" ]; then
    # Under a window manager the frames and the stacking are looked at (it places and sizes
    # windows its own way).
    under_window_manager
    exit $FAILURES
  fi

  # A place far off the left edge: the tab opens at the edge; quitting stores that place.
  start "0;-5000;1" || return
  check "a tab stored at -5000 opens at the left edge" test "$(left_of "$TAB")" = 0
  hints=$(xprop -id "$WIN" WM_NORMAL_HINTS)
  check "the calendar window's size is fixed to the work area" sh -c \
    "echo '$hints' | grep -q 'minimum size: $W by $H' && echo '$hints' | grep -q 'maximum size: $W by $H'"
  quit
  check "the corrected place is stored (prefs $(prefs))" test "$(prefs)" = "0;0;1"

  # A place saved on a far wider screen: the tab opens at the right edge.
  start "0;99999;1" || return
  check "a tab stored at 99999 opens at the right edge" test "$(left_of "$TAB")" = "$rightmost"
  # Dragged by its right end to the left edge of the screen: it stops there, wholly on it.
  xdotool mousemove $((rightmost + 30)) 3 mousedown 1; sleep 0.2
  xdotool mousemove 600 3; sleep 0.2; xdotool mousemove 5 3; sleep 0.3
  xdotool mouseup 1; sleep 0.5
  check "a drag past the left edge stops with the tab at 0" test "$(left_of "$TAB")" = 0
  quit
  check "the place dragged to is stored (prefs $(prefs))" test "$(prefs)" = "0;0;1"

  start "0;300;1" && stacking
  exit $FAILURES
}

# Whether the calendar window rests shown ($1 = IsViewable: mapped, and its slide over, which
# takes its shape off) or hidden (IsUnMapped) within $WAIT s: a slide on a loaded machine
# takes seconds, and a click on the tab during one is ignored.
calendar_rests() {
  local info
  info=$(xwininfo -shape -id "$WIN" 2>/dev/null)
  [[ $info == *"Map State: $1"* ]] && { [ "$1" = IsUnMapped ] || [[ $info == *"No window shape defined"* ]]; }
}
calendar_is() { within calendar_rests "$1"; }
# A click on the tab's middle, with the calendar shown and active, slides it away; a second
# click brings it back.
tab_slides() { # when
  xdotool windowactivate "$WIN" 2>/dev/null
  within bash -c "xprop -root _NET_ACTIVE_WINDOW | grep -qiE '# $(printf '0x%x' "$WIN")(,|\$)'" \
    || fail "the calendar is not made active before the tab's click ($1)"
  read -r tx ty tw th < <(geometry "$TAB")
  xdotool mousemove $((tx + tw / 2)) $((ty + th / 2)) click 1
  check "a click on the tab slides the calendar away ($1)" calendar_is IsUnMapped
  xdotool mousemove $((tx + tw / 2)) $((ty + th / 2)) click 1
  calendar_is IsViewable || fail "a second click on the tab brings the calendar back ($1)"
  sleep 0.5
}

# The help window, opened from the Help menu, stays above the calendar window (running).
stacking() {
  xdotool mousemove $((W - 18)) 8 click 1; sleep 0.7
  xdotool key Down Return
  help=$(wait_window '^Calendar Help$') || fail "no help window"
  [ -n "$help" ] && check "the help window opens above the calendar" above "$help" "$WIN"
  press "$WIN" space              # re-reads the branding and rebuilds the calendar window
  local new="" i
  for i in $(seq 1 $((WAIT * 10))); do        # a sanitizer build rebuilds more slowly
    new=$(xdotool search --onlyvisible --name '^Calendar$' 2>/dev/null | grep -v "^$WIN\$" | head -n 1)
    [ -n "$new" ] && break; sleep 0.1
    # Under a window manager on a loaded machine the key can go astray (the help window
    # taking the focus back): after 8 s without a new window it is pressed once more.
    [ "$i" = 80 ] && xdotool search --onlyvisible --name '^Calendar$' | grep -qx "$WIN" && press "$WIN" space
  done
  if [ -n "$new" ] && [ -n "$help" ]; then
    WIN=$new
    calendar_is IsViewable; sleep 0.5   # the new window slides in
    check "after a rebuild the help window is above the new calendar window" above "$help" "$WIN"
    check "and the tab above both" above "$TAB" "$help"
    import -window root "$WORK/rebuilt-$LUMORA_E2E_SCREEN.png"
    [ -n "${LUMORA_E2E_SHOTS:-}" ] && cp "$WORK/rebuilt-$LUMORA_E2E_SCREEN.png" "$LUMORA_E2E_SHOTS/"
    # (A window manager may lift a focused window that covers the whole screen above the
    # windows kept on top.)
    [ -n "${LUMORA_E2E_WM:-}" ] && tab_slides "after a rebuild"
    # Slid away with Ctrl+W and back with a click on the tab.
    press "$WIN" ctrl+w; calendar_is IsUnMapped
    xdotool mousemove 310 3 click 1; calendar_is IsViewable; sleep 0.5
    check "after sliding back in the help window is above the calendar window" above "$help" "$WIN"
    [ -n "${LUMORA_E2E_WM:-}" ] && tab_slides "after sliding back in"
  else
    fail "no rebuilt calendar window"
    # What the screen held, for the next look at this failure.
    echo "  focus: $(xdotool getwindowfocus getwindowname 2>/dev/null)"
    echo "  visible windows: $(xdotool search --onlyvisible --name . 2>/dev/null | while read -r w; do printf '%s ' "$w:$(xdotool getwindowname "$w" 2>/dev/null)"; done)"
    echo "  the old calendar window $WIN: $(xwininfo -id "$WIN" 2>/dev/null | grep -E 'Map State|Absolute upper-left Y' | tr -s ' ' | tr '\n' ' ')"
  fi
  quit
}

# Whether window $1's window-manager actions are those of a frame with the buttons named
# in $2 ("close", "minimize"): never maximising or resizing (every window has a fixed
# size); closing and minimising as named. openbox offers both on every framed window
# whatever the window asks, xfwm4 closing on every window (from its window menu, with no
# close box on the frame), so there only the named ones are looked for.
actions_are() {
  local actions a offered=""
  actions=$(xprop -id "$1" _NET_WM_ALLOWED_ACTIONS | sed 's/.*=//; s/,/ /g; s/_NET_WM_ACTION_//g')
  for a in MAXIMIZE_HORZ MAXIMIZE_VERT RESIZE; do [[ " $actions " == *" $a "* ]] && return 1; done
  case $LUMORA_E2E_WM in openbox) offered="CLOSE MINIMIZE" ;; xfwm4) offered=CLOSE ;; esac
  for a in CLOSE MINIMIZE; do
    if [[ " $2 " == *" ${a,,} "* ]]; then [[ " $actions " == *" $a "* ]] || return 1
    elif [[ " $offered " != *" $a "* ]]; then [[ " $actions " == *" $a "* ]] && return 1; fi
  done
  return 0
}
# Whether window $1 has a title bar ($2 = framed) or no frame at all ($2 = bare).
frame_is() {
  local top
  top=$(xprop -id "$1" _NET_FRAME_EXTENTS | sed -n 's/.*= *[0-9]*, *[0-9]*, *\([0-9]*\),.*/\1/p')
  if [ "$2" = framed ]; then [ "${top:-0}" -gt 0 ]; else [ "${top:-0}" = 0 ]; fi
}
# Checks window $1, called $2: no frame ($3 = bare) or a title bar ($3 = framed) with the
# buttons named in $4.
frame_check() {
  local what="no frame"
  [ "$3" = framed ] && what="a title bar with ${4:-no button}"
  check "$2: $what" frame_is "$1" "$3"
  check "$2: the actions of ${4:-no button}" actions_are "$1" "${4:-}"
}
# Waits for the window named $1 and checks it as frame_check does; sets ID.
named_frame_check() {
  ID=$(wait_window "^$1\$") || { fail "no window \"$1\""; return 1; }
  sleep 0.3
  frame_check "$ID" "$@"
}
# The program's managed window without a title of its own (the mini calendar; Qt gives
# window managers the program's name for it).
untitled() {
  local c
  for c in $(xprop -root _NET_CLIENT_LIST | grep -o '0x[0-9a-f]*'); do
    xprop -id "$c" WM_CLASS WM_NAME | tr '\n' ' ' | grep -Eq '"lumora-calendar".* = (""|) *$' \
      && { echo "$c"; return 0; }
  done
  return 1
}

# Reads column 2 of the screen over and over for up to $1 seconds (a few hundred times a
# second) and prints, for each reading, the rows where the calendar area's border lines run:
# "ready" first, once it reads. Once the screen has changed, it stops when it has stayed the
# same for a hundred readings (the slide is over).
sample_border_rows() {
  /usr/bin/python3 - "$1" <<'PY'
import sys, time
from Xlib import X, display
screen = display.Display().screen()
height = screen.height_in_pixels
border = bytes((0xB9, 0x9D, 0x7F))  # RGB(127,157,185), stored blue first
print("ready", flush=True)
end = time.monotonic() + float(sys.argv[1])
first, last, same = None, None, 0
while True:
    data = screen.root.get_image(2, 0, 1, height, X.ZPixmap, 0xFFFFFFFF).data
    rows = " ".join(str(y) for y in range(height) if data[4 * y:4 * y + 3] == border)
    print(rows, flush=True)
    first = rows if first is None else first
    same = same + 1 if rows == last else 0
    last = rows
    if time.monotonic() >= end or (same >= 100 and rows != first):
        break
PY
}
# Whether the slide that command $2... starts is seen part-way ($1: "up" or "down"): readings
# of the screen taken while it runs show the border lines at several places higher than
# where they rest in view (RESTING), the calendar's bottom rows against the work area's top;
# sliding down, the calendar is not seen at rest before it is seen part-way. A window manager
# that keeps windows on the screen would show the calendar only whole, or not at all.
seen_part_way() {
  local way=$1 out="$WORK/slide-$1.txt" i places first
  sample_border_rows 4 > "$out" &
  local sampler=$!
  within grep -q ready "$out"
  shift; "$@"
  wait $sampler
  places=$(grep -v -x -e ready -e "$RESTING" -e "" "$out" | sort -u | wc -l)
  first=$(grep -v -x -e ready -e "" "$out" | head -n 1)
  echo "  the border lines at $places places part-way (at rest in view: rows $RESTING)"
  [ "$places" -ge 3 ] && { [ "$way" = up ] || [ "$first" != "$RESTING" ]; }
}
# Whether window $1 is shown, and not minimised, within 2 s.
shown_within_2s() {
  local i
  for i in $(seq 1 20); do
    xwininfo -id "$1" | grep -q IsViewable && ! xprop -id "$1" _NET_WM_STATE | grep -q HIDDEN && return 0
    sleep 0.1
  done
  return 1
}
# The calendar's own gestures, whatever the window manager: it slides, it cannot be
# minimised, and a close request slides it away for the tab to bring back.
slides_and_stays() {
  local tx ty tw th
  read -r tx ty tw th < <(geometry "$TAB")
  RESTING=$(sample_border_rows 0 | sed -n 2p)
  check "the slide up is seen part-way" seen_part_way up press "$WIN" ctrl+w
  calendar_is IsUnMapped
  check "the slide down is seen part-way" seen_part_way down xdotool mousemove $((tx + tw / 2)) $((ty + th / 2)) click 1
  calendar_is IsViewable
  sleep 0.5
  xdotool windowminimize "$WIN"; sleep 0.3
  check "a minimised calendar is shown again within 2 s" shown_within_2s "$WIN"
  wmctrl -i -c "$WIN"
  check "a close request slides the calendar away" calendar_is IsUnMapped
  check "and the program runs on" kill -0 "$PID"
  xdotool mousemove $((tx + tw / 2)) $((ty + th / 2)) click 1
  check "the tab's next click shows it" calendar_is IsViewable
  check "with the keyboard" within bash -c "xprop -root _NET_ACTIVE_WINDOW | grep -qiE '# $(printf '0x%x' "$WIN")(,|\$)'"
  wmctrl -i -c "$TAB"; sleep 0.5
  check "a close request leaves the tab" bash -c "xwininfo -id $TAB | grep -q IsViewable"
}

under_window_manager() {
  # icewm without its task bar: no panel reserves a part of the screen. An XEmbed tray that
  # the program's icon sits in (no session bus: no StatusNotifier host).
  mkdir -p "$WORK/icewm" && echo "ShowTaskBar=0" > "$WORK/icewm/preferences"
  # xfwm4 reads its settings over D-Bus, metacity through GSettings: each has a session bus
  # of its own, which the program does not see.
  local launch=("$LUMORA_E2E_WM")
  case $LUMORA_E2E_WM in xfwm4|metacity) launch=(dbus-run-session "$LUMORA_E2E_WM") ;; esac
  ICEWM_PRIVCFG="$WORK/icewm" "${launch[@]}" > "$WORK/wm.log" 2>&1 & local wm=$!
  # Ends the window manager itself: its session bus, if it has one, then ends with it.
  end_wm() { pkill -P "$wm" 2>/dev/null; kill "$wm" 2>/dev/null; wait "$wm" 2>/dev/null; }
  local i tray panel=""
  wm_up() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
  within wm_up || { fail "$LUMORA_E2E_WM did not start within $WAIT s"; end_wm; return 1; }
  export DBUS_SESSION_BUS_ADDRESS="unix:path=$WORK/no-bus"
  # A window manager announces itself before it takes requests: a window that openbox is
  # asked to map in its first tens of milliseconds after that stays unmapped for good, and
  # the tray then shows no panel. A tray without a panel after a third of the wait for a
  # start (20 s: trayer shows its panel in well under a second) is started again.
  for i in 1 2 3; do
    echo "-- start $i" >> "$WORK/trayer.log"
    trayer --edge bottom --align left --widthtype request --height 32 --SetDockType false \
      --SetPartialStrut false >> "$WORK/trayer.log" 2>&1 & tray=$!
    panel=$(wait_window '^panel$' $((WAIT / 3))) && break
    echo "  trayer showed no panel within $((WAIT / 3)) s (start $i)"
    kill $tray 2>/dev/null; wait $tray 2>/dev/null
  done
  if [ -z "$panel" ]; then
    fail "trayer shows no panel after 3 starts (its output: $(tr '\n' ' ' < "$WORK/trayer.log"))"
    end_wm
    return 1
  fi
  # A partner's edition under icewm, whose about window has a close button only.
  local app="$WORK/app" about_buttons="close minimize"
  mkdir -p "$app" && cp "$BIN" "$app/" && cp -r "$BUILD_DIR/Standard" "$app/"
  if [ "$LUMORA_E2E_WM" = icewm ]; then
    sed -i 's/^customAboutWindow=.*/customAboutWindow=True/' "$app/Standard/calspc.dat"
    about_buttons=close
  fi
  start "1;300;1" "$app/lumora-calendar" || return

  named_frame_check Calendar bare
  named_frame_check Tab bare
  [ "$LUMORA_E2E_WM" = openbox ] && tab_slides "after start-up"
  slides_and_stays

  # The event dialog, from a cell of the week: minimised, it comes back.
  measure_year_view "$WIN" || { fail "no calendar area borders found"; return; }
  click $YEAR_X $YEAR_Y
  click $(( 60 + (W - 228) / 7 / 2 )) $(( TITLE + 60 + (AREA - 60) / 28 * 2 + 5 ))
  if named_frame_check "Calendar Event" framed close; then
    xdotool windowminimize "$ID"; sleep 0.3
    check "a minimised event dialog is shown again" within bash -c "xwininfo -id $ID | grep -q IsViewable"
    press "$ID" Escape
  fi
  click 29 $(( TITLE + 17 ))          # back to the year view
  # The countdown tile, 5 pixels in from the calendar area's bottom-left corner.
  click 60 $(( TITLE + AREA - 70 ))
  named_frame_check "Calendar Countdown Event" framed close && press "$ID" Return
  # From the menus at the corner: Help > Help, Edit > About Calendar, Edit > Preferences.
  xdotool mousemove $((W - 18)) 8 click 1; sleep 0.7; xdotool key Down Return
  named_frame_check "Calendar Help" framed "close minimize"
  xdotool mousemove $((W - 18)) 8 click 1; sleep 0.7; xdotool key Left Up Up Up Return
  named_frame_check "About Calendar" framed "$about_buttons"
  xdotool mousemove $((W - 18)) 8 click 1; sleep 0.7; xdotool key Left Up Up Return
  if named_frame_check "Calendar Preferences" framed; then
    wmctrl -i -c "$ID"; sleep 1
    check "a close request leaves the preferences open" bash -c "xwininfo -id $ID | grep -q IsViewable"
    press "$ID" Return
  fi
  # The mini calendar from the tray icon, with the calendar slid away from over the tray.
  press "$WIN" ctrl+w; calendar_is IsUnMapped
  local icon mini=""
  icon=$(xwininfo -id "$panel" -tree 2>/dev/null | awk '/"lumora-calendar"/ {print $1}' | head -n 1)
  if [ -n "$icon" ]; then
    read -r ix iy iw ih < <(geometry "$icon")
    xdotool mousemove $((ix + iw / 2)) $((iy + ih / 2)) click 1
    mini=$(within untitled)
  fi
  if [ -n "$mini" ]; then frame_check "$mini" "the mini calendar" framed close; else fail "no mini calendar"; fi
  xdotool mousemove 316 3 click 1; calendar_is IsViewable

  if [ "$LUMORA_E2E_WM" = openbox ]; then stacking; else quit; fi
  kill $tray 2>/dev/null
  end_wm
}

if [ -n "${LUMORA_E2E_WORK:-}" ]; then scenario; exit $FAILURES; fi
failed=0
for size in 1280x1024 1024x768; do
  echo "== screen $size"
  run_in_xvfb scenario "$size" || failed=$((failed + 1))
done
for wm in openbox:1280x1024 icewm:1024x768 xfwm4:1280x1024 metacity:1024x768; do
  echo "== screen ${wm#*:} under a window manager (${wm%:*})"
  if command -v "${wm%:*}" > /dev/null; then
    LUMORA_E2E_WM=${wm%:*} run_in_xvfb scenario "${wm#*:}" || failed=$((failed + 1))
  else
    echo "FAIL: ${wm%:*} is not installed (scripts/install-deps.sh installs it)"; failed=$((failed + 1))
  fi
done
[ $failed = 0 ] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed"
exit $failed
