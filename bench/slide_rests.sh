#!/usr/bin/env bash
# Where the calendar's slides down rest under a compositor on X11, counted by hand (not run by
# CI): in a virtual screen of SIZE (default 1920x1080) under COMPOSITOR (mutter: GNOME's
# mutter on X11; gnome-shell: GNOME Shell's X11 session; fake: the whole-program tests' own,
# tests/e2e/fake_compositor.py, which clears damage late), beside LOAD (default
# "--cpu $((2 * nproc))", empty for none) of stress-ng, the calendar is slid away (Ctrl+W)
# and back (a click on the tab) SLIDES times (default 20), then rebuilt with the space key
# REBUILDS times (default 5). After each slide down and rebuild, once the slide is over,
# what the screen shows over the calendar (the root window) is compared with the calendar
# window's own picture (read from the window itself) until the two agree, for up to
# SETTLE seconds (default 15): a compositor that kept an earlier step shows the calendar
# some rows too high with a band of desktop below it, for good. Prints one line for each and
# a count:
#   SIZE=1366x768 COMPOSITOR=gnome-shell bash bench/slide_rests.sh build
source "$(dirname "$0")/../tests/e2e/lib.sh"
SIZE=${SIZE:-1920x1080} COMPOSITOR=${COMPOSITOR:-mutter} SLIDES=${SLIDES:-20} REBUILDS=${REBUILDS:-5}
SETTLE=${SETTLE:-15} LOAD=${LOAD---cpu $((2 * $(nproc)))}
export SIZE COMPOSITOR SLIDES REBUILDS SETTLE LOAD

# Compares the screen over window $1 with the window's own picture (the tab's rows left out)
# until they agree or SETTLE seconds pass; prints "right after N s" or "wrong: M rows too
# high" (M the rows by which the screen's picture is shifted, "?" where no shift fits).
rest_of() {
  /usr/bin/python3 - "$1" "$TAB" "$SETTLE" <<'PY'
import sys, time
from Xlib import X, display
d = display.Display()
root = d.screen().root
win, tab = (d.create_resource_object("window", int(a, 0)) for a in sys.argv[1:3])
g = win.get_geometry()
at = root.translate_coords(win, 0, 0)
x0, y0, w, h = at.x, at.y, g.width, g.height
t = tab.get_geometry()
tp = root.translate_coords(tab, 0, 0)
# The tab lies above the calendar, with the shadow a compositor draws around it.
left, right = max(0, tp.x - 32 - x0), max(0, min(w, tp.x + t.width + 32 - x0))
def rows(data):   # each row's blue, green, red (the fourth byte is padding or alpha)
    out = []
    for y in range(h):
        r = bytearray(data[4 * w * y:4 * w * (y + 1)])
        r[3::4] = bytes(w)
        if y0 + y < tp.y + t.height + 32 and right > left:
            r[4 * left:4 * right] = bytes(4 * (right - left))
        out.append(bytes(r))
    return out
start = time.monotonic()
while True:
    own = rows(win.get_image(0, 0, w, h, X.ZPixmap, 0xFFFFFFFF).data)
    shown = rows(root.get_image(x0, y0, w, h, X.ZPixmap, 0xFFFFFFFF).data)
    if own == shown:
        print(f"right after {time.monotonic() - start:.1f} s")
        sys.exit(0)
    if time.monotonic() - start > float(sys.argv[3]):
        break
    time.sleep(0.2)
shift = next((s for s in range(1, h // 2) if shown[60:h - s - 40] == own[60 + s:h - 40]), "?")
print(f"wrong: {shift} rows too high")
sys.exit(1)
PY
}

measure() {
  local launch wm load="" run="$WORK/run" i n=0 wrong=0 result old new
  PID=""
  mkdir -p "$run" "$HOME/.config" && chmod 700 "$run"
  case $COMPOSITOR in
    mutter) launch=(mutter --x11 --replace) ;;
    gnome-shell) launch=(gnome-shell --x11 --replace) ;;
    fake) launch=(/usr/bin/python3 "$FAKE_COMPOSITOR" "$WORK/compositor.log") ;;
    *) echo "COMPOSITOR: mutter, gnome-shell or fake"; return 1 ;;
  esac
  # GNOME Shell asks the system bus for the login manager: a bus of the script's own stands
  # for it.
  local system_bus
  system_bus=$(dbus-daemon --session --address="unix:path=$WORK/system-bus" --fork --print-pid)
  DBUS_SYSTEM_BUS_ADDRESS="unix:path=$WORK/system-bus" XDG_RUNTIME_DIR=$run \
    dbus-run-session "${launch[@]}" > "$WORK/wm.log" 2>&1 & wm=$!
  composites() {
    /usr/bin/python3 -c 'from Xlib import display; d = display.Display(); exit(d.get_selection_owner(d.intern_atom("_NET_WM_CM_S0")) == 0)'
  }
  end_all() {
    [ -n "$load" ] && kill "$load" && wait "$load" 2>/dev/null
    [ -n "${PID:-}" ] && kill "$PID" && wait "$PID" 2>/dev/null
    pkill -P "$wm" 2>/dev/null; kill "$wm" 2>/dev/null; wait "$wm" 2>/dev/null
    kill "$system_bus"
  }
  within composites || { echo "$COMPOSITOR did not start compositing"; end_all; return 1; }
  # gnome-shell opens on its overview: the desktop is shown first.
  [ "$COMPOSITOR" = gnome-shell ] && sleep 3 && xdotool key Escape && sleep 2
  # The program gets no bus: the compositor's is not its.
  export DBUS_SESSION_BUS_ADDRESS="unix:path=$WORK/no-bus"
  echo "1;300;1" > "$HOME/.config/LMCalendar.prefs"
  "$BIN" & PID=$!
  WIN=$(wait_window '^Calendar$') && TAB=$(wait_window '^Tab$') && within rests_in_view "$WIN" \
    || { echo "the calendar did not show"; end_all; return 1; }
  # shellcheck disable=SC2086
  [ -n "$LOAD" ] && { stress-ng $LOAD --quiet & load=$!; }
  echo "$COMPOSITOR at $SIZE, load: ${LOAD:-none}, $(git -C "$(dirname "$0")" rev-parse --short HEAD 2>/dev/null)"
  for i in $(seq 1 "$SLIDES"); do
    press "$WIN" ctrl+w
    within window_gone "$WIN" || { echo "slide $i: the calendar did not go"; continue; }
    read -r tx ty tw th < <(geometry "$TAB")
    xdotool mousemove $((tx + tw / 2)) $((ty + th / 2)) click 1
    within rests_in_view "$WIN" || { echo "slide $i: the calendar did not come back"; continue; }
    result=$(rest_of "$WIN") || wrong=$((wrong + 1))
    n=$((n + 1)); echo "slide down $i: $result"
    xdotool mousemove $((tx + tw / 2)) $((ty + 200))
  done
  local rebuilt=0 rebuilt_wrong=0
  for i in $(seq 1 "$REBUILDS"); do
    old=$WIN
    press "$WIN" space
    other() { xdotool search --onlyvisible --name '^Calendar$' 2>/dev/null | grep -v "^$old\$" | head -n 1 | grep .; }
    new=$(within other) || { echo "rebuild $i: no new window"; continue; }
    WIN=$new
    within rests_in_view "$WIN" || { echo "rebuild $i: the new calendar did not rest"; continue; }
    result=$(rest_of "$WIN") || rebuilt_wrong=$((rebuilt_wrong + 1))
    rebuilt=$((rebuilt + 1)); echo "rebuild $i: $result"
  done
  echo "RESULT $COMPOSITOR $SIZE: $wrong of $n slides down and $rebuilt_wrong of $rebuilt rebuilds rest wrong"
  end_all
}

run_in_xvfb measure "$SIZE"
