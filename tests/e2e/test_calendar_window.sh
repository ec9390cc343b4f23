#!/usr/bin/env bash
# The calendar window on a 1280 x 1024 screen without a window manager: it covers the screen
# with the year view (today circled in red, the border rows), slides away at the first click
# on the tab after start-up, pages by year with Page Down / Page Up and the wheel, slides up
# with Ctrl+W and back with a click on the tab, offers its menus at the top-right corner
# (Quick Start Help clicked there shows the first run's overlay again), and the space key
# rebuilds it and writes the events file.
source "$(dirname "$0")/lib.sh"

shot() { import -window root "$WORK/$1.png"; }
# Checksum of the calendar band of a screenshot (rows 100 to 700, without the clock).
band() { convert "$WORK/$1.png" -crop 1200x600+0+100 +repage rgb:- | md5sum | cut -c1-32; }
pixel() { convert "$WORK/$1.png" -crop "1x1+$2+$3" -depth 8 txt:- | tail -n 1 | grep -o '#[0-9A-F]\{6\}'; }
colour_pixels() { convert "$WORK/$1.png" -fill black +opaque "$2" -fill white -opaque "$2" \
                    -colorspace gray -format '%[fx:round(mean*w*h)]' info:; }
red_pixels() { colour_pixels "$1" '#FF0000'; }
# Waits up to 5 s for the quick start overlay (its arrows are RGB(0,80,255)) to be shown
# ($1 = shown) or gone.
wait_overlay() {
  local n
  for _ in $(seq 1 25); do
    shot overlay; n=$(colour_pixels overlay '#0050FF')
    { [ "$1" = shown ] && [ "$n" -gt 0 ]; } || { [ "$1" = gone ] && [ "$n" = 0 ]; } && return 0
    sleep 0.2
  done
  return 1
}
top_of() { geometry "$1" | cut -d' ' -f2; }

scenario() {
  failures=0
  bad() { echo "FAIL: $*"; failures=$((failures+1)); }
  "$BIN" & pid=$!
  win=$(wait_window '^Calendar$') || { echo "FAIL: no calendar window"; kill -9 $pid; exit 1; }
  within rests_in_view "$win" || bad "the calendar never rests in view after start-up"

  g=$(geometry "$win")
  [ "$g" = "0 0 1280 1024" ] && echo "ok: covers the screen" || bad "calendar geometry $g"
  tab=$(wait_window '^Tab$') || bad "no tab window"
  tg=$(geometry "$tab")
  [ "$(echo "$tg" | cut -d' ' -f2-)" = "0 32 7" ] && echo "ok: the tab is 32 x 7 at the top edge" || bad "tab geometry $tg"
  # As a user finds it after start-up: nothing made the calendar active (no window manager)
  # and no other program has the keyboard; the first click on the tab slides it away, a
  # second brings it back.
  tx=$(( $(geometry "$tab" | cut -d' ' -f1) + 16 ))
  xdotool mousemove "$tx" 3 click 1
  if within window_gone "$win"; then
    echo "ok: the first click on the tab after start-up slides it away"
    xdotool mousemove "$tx" 3 click 1
    within rests_in_view "$win" || bad "a second click on the tab did not bring the calendar back"
  else
    bad "the first click on the tab after start-up left the calendar in view"
  fi

  shot year1
  [ "$(red_pixels year1)" -gt 10 ] && echo "ok: today is circled in pure red" || bad "no red circle"
  # The calendar band's top border: a blue row above a white one, at the left edge.
  border=""
  for y in $(seq 30 160); do
    if [ "$(pixel year1 3 "$y")" = "#7F9DB9" ] && [ "$(pixel year1 3 $((y + 1)))" = "#FFFFFF" ]; then border=$y; break; fi
  done
  [ -n "$border" ] && echo "ok: border rows at $border" || bad "no RGB(127,157,185) row above a white one"

  # Paging within the three years (today's year is the second): back to the first, then
  # two years forward and no further; one wheel notch is one year.
  press "$win" Prior; sleep 0.5; shot first
  press "$win" Prior; sleep 0.5; shot first_again
  [ "$(band first)" != "$(band year1)" ] && [ "$(band first)" = "$(band first_again)" ] \
    && echo "ok: Page Up pages back to the first year and no further" || bad "Page Up"
  press "$win" Next; sleep 0.5; shot second
  press "$win" Next; sleep 0.5; shot third
  press "$win" Next; sleep 0.5; shot third_again
  [ "$(band second)" = "$(band year1)" ] && [ "$(band third)" != "$(band second)" ] \
    && echo "ok: Page Down twice shows the third year" || bad "Page Down did not page"
  [ "$(band third)" = "$(band third_again)" ] && echo "ok: a third Page Down changes nothing" || bad "paged past the third year"
  press "$win" Prior; sleep 0.5
  xdotool mousemove 640 500 click 5; sleep 0.5; shot wheel_down
  xdotool mousemove 640 500 click 4; sleep 0.5; shot wheel_up
  [ "$(band wheel_down)" = "$(band third)" ] && [ "$(band wheel_up)" = "$(band second)" ] \
    && echo "ok: one wheel notch pages one year" || bad "wheel paging"

  # The menus at the top-right corner open.
  open_menu 1262 Escape && echo "ok: a menu opens at the top-right corner" || bad "no menu at the top-right"
  no_menu() { ! shown_menu > /dev/null; }
  within no_menu || bad "Escape leaves the menu open"

  # A first run shows the quick start overlay until it is clicked; Help > Quick Start Help
  # clicked with the mouse shows it again, also while another window of the program holds
  # the focus (a click on a menu bar makes no window the active one).
  wait_overlay shown && echo "ok: a first run shows the quick start overlay" || bad "no overlay on a first run"
  xdotool mousemove 640 300 click 1
  wait_overlay gone && echo "ok: a click hides the overlay" || bad "the overlay stays after a click"
  xdotool windowfocus --sync "$tab" 2>/dev/null
  popup=
  open_menu 1262 && popup=$(shown_menu)
  if [ -n "$popup" ]; then
    read -r px py pw _ < <(geometry "$popup")
    # The second entry, under "Help".
    xdotool mousemove $(( px + pw / 2 )) $(( py + 32 )) click 1
  fi
  wait_overlay shown && echo "ok: Quick Start Help clicked in the menu bar shows the overlay" \
    || bad "no overlay after Quick Start Help was clicked (menu ${popup:-not open})"

  # Ctrl+W slides the window up and hides it; a click on the tab brings it back. The window
  # itself stays on the work area (the slide is drawn inside it).
  press "$win" ctrl+w
  within 5 window_gone "$win"
  t=$(top_of "$win")
  [ "$t" = 0 ] && window_gone "$win" && echo "ok: Ctrl+W slides it up and hides it" || bad "after Ctrl+W top $t"
  xdotool mousemove "$tx" 3 click 1
  within rests_in_view "$win" && [ "$(top_of "$win")" = 0 ] && echo "ok: the tab slides it back" \
    || bad "after the tab top $(top_of "$win")"

  # Space rebuilds the window and writes the events file.
  rm -f "$HOME/Documents/Calendar.tpc"
  press "$win" space
  new=""
  for _ in $(seq 1 150); do   # the old window may still show while the new one is made
    new=$(xdotool search --onlyvisible --name '^Calendar$' 2>/dev/null | grep -vx "$win" | head -n 1)
    [ -n "$new" ] && break; sleep 0.1
  done
  [ -n "$new" ] && [ "$(geometry "$new")" = "0 0 1280 1024" ] \
    && echo "ok: space gives a new calendar window" || bad "no new window after space ($win -> $new)"
  within grep -qx 'Events Data:' "$HOME/Documents/Calendar.tpc" 2>/dev/null && echo "ok: the events file is written" \
    || bad "no events file after space"

  press "${new:-$win}" ctrl+q
  for _ in $(seq 1 100); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  if kill -0 $pid 2>/dev/null; then status=timeout; else wait $pid; status=$?; fi
  [ "$status" = 0 ] && echo "ok: quits with 0" || { bad "quit status $status"; kill -9 $pid 2>/dev/null; }
  exit $failures
}

run_scenario scenario
