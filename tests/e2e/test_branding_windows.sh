#!/usr/bin/env bash
# The windows under odd preference values and after a rebuild, without a window manager, on
# 1280 x 1024 and 1024 x 768: a stored tab place off the screen is brought back and corrected
# in the preferences, a drag cannot take the tab off the screen, the calendar window's size is
# fixed to the work area, and the help window stays above the calendar window when the
# calendar is rebuilt (space key) or slid away and back, also under a window manager.
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
start() { # prefs line -> sets PID, WIN, TAB
  echo "$1" > "$HOME/.config/LMCalendar.prefs"
  "$BIN" & PID=$!
  WIN=$(wait_window '^Calendar$' 10) || { fail "no calendar window"; return 1; }
  TAB=$(wait_window '^Tab$' 5) || { fail "no tab"; return 1; }
  sleep 1
}
quit() {
  press "$WIN" ctrl+q
  wait_exit "$PID" 10
  check "Ctrl+Q quits with status 0 (status $EXIT_STATUS)" test "$EXIT_STATUS" = 0
  [ "$EXIT_STATUS" = timeout ] && kill -9 "$PID" 2>/dev/null
}

scenario() {
  W=${LUMORA_E2E_SCREEN%x*}; H=${LUMORA_E2E_SCREEN#*x}
  mkdir -p "$HOME/.config"
  local rightmost=$((W - 32))
  if [ -n "${LUMORA_E2E_WM:-}" ]; then
    # Under a window manager only the stacking is looked at (it places and sizes windows
    # its own way).
    openbox > /dev/null 2>&1 & local wm=$!
    for _ in $(seq 1 50); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break; sleep 0.1; done
    stacking
    kill $wm 2>/dev/null
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

  stacking
  exit $FAILURES
}

# The help window, opened from the Help menu, stays above the calendar window.
stacking() {
  start "0;300;1" || return
  xdotool mousemove $((W - 18)) 8 click 1; sleep 0.7
  xdotool key Down Return
  help=$(wait_window '^Calendar Help$' 5) || fail "no help window"
  [ -n "$help" ] && check "the help window opens above the calendar" above "$help" "$WIN"
  press "$WIN" space              # re-reads the branding and rebuilds the calendar window
  local new="" i
  for i in $(seq 1 150); do        # a sanitizer build rebuilds more slowly
    new=$(xdotool search --onlyvisible --name '^Calendar$' 2>/dev/null | grep -v "^$WIN\$" | head -n 1)
    [ -n "$new" ] && break; sleep 0.1
    # Under a window manager on a loaded machine the key can go astray (the help window
    # taking the focus back): after 8 s without a new window it is pressed once more.
    [ "$i" = 80 ] && xdotool search --onlyvisible --name '^Calendar$' | grep -qx "$WIN" && press "$WIN" space
  done
  sleep 2                          # the new window slides in
  if [ -n "$new" ] && [ -n "$help" ]; then
    WIN=$new
    check "after a rebuild the help window is above the new calendar window" above "$help" "$WIN"
    # (A window manager may keep a window that covers the whole screen above every other
    # one while it has the focus; the tab is not its window.)
    [ -z "${LUMORA_E2E_WM:-}" ] && check "and the tab above both" above "$TAB" "$help"
    import -window root "$WORK/rebuilt-$LUMORA_E2E_SCREEN.png"
    [ -n "${LUMORA_E2E_SHOTS:-}" ] && cp "$WORK/rebuilt-$LUMORA_E2E_SCREEN.png" "$LUMORA_E2E_SHOTS/"
    # Slid away with Ctrl+W and back with a click on the tab.
    press "$WIN" ctrl+w; sleep 1.5
    xdotool mousemove 310 3 click 1; sleep 2
    check "after sliding back in the help window is above the calendar window" above "$help" "$WIN"
  else
    fail "no rebuilt calendar window"
    # What the screen held, for the next look at this failure.
    echo "  focus: $(xdotool getwindowfocus getwindowname 2>/dev/null)"
    echo "  visible windows: $(xdotool search --onlyvisible --name . 2>/dev/null | while read -r w; do printf '%s ' "$w:$(xdotool getwindowname "$w" 2>/dev/null)"; done)"
    echo "  the old calendar window $WIN: $(xwininfo -id "$WIN" 2>/dev/null | grep -E 'Map State|Absolute upper-left Y' | tr -s ' ' | tr '\n' ' ')"
  fi
  quit
}

if [ -n "${LUMORA_E2E_WORK:-}" ]; then scenario; exit $FAILURES; fi
failed=0
for size in 1280x1024 1024x768; do
  echo "== screen $size"
  run_in_xvfb scenario "$size" || failed=$((failed + 1))
done
echo "== screen 1024x768 under a window manager (openbox)"
if command -v openbox > /dev/null; then
  LUMORA_E2E_WM=1 run_in_xvfb scenario 1024x768 || failed=$((failed + 1))
else
  echo "FAIL: openbox is not installed (scripts/install-deps.sh installs it)"; failed=$((failed + 1))
fi
[ $failed = 0 ] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed"
exit $failed
