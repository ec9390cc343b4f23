#!/usr/bin/env bash
# Where the calendar's slides down rest under a compositor on X11, counted by hand (not run by
# CI): in a virtual screen of SIZE (default 1920x1080) under COMPOSITOR (mutter: GNOME's
# mutter on X11; gnome-shell: GNOME Shell's X11 session; fake: the whole-program tests' own,
# tests/e2e/fake_compositor.py, which clears damage late), beside LOAD (default
# "--cpu $((2 * nproc))", empty for none) of stress-ng, the calendar is slid away (Ctrl+W)
# and back (a click on the tab) SLIDES times (default 20), then rebuilt with the space key
# REBUILDS times (default 5), then paged at rest PAGES times (default 0): slid away and back,
# and 2.6-3.5 s after the slide down the year paged with Page Down (Page Up every second
# time: the calendar pages only so far), PAGE_KEYS times in a row (default 1; 2 pages two
# years with the keys 12 ms apart, the second page drawn while a compositor still takes
# the first). After each slide down,
# rebuild and page, once it is over, what the screen shows over the calendar (the root
# window) is compared with the calendar window's own picture (read from the window itself)
# until the two agree, for up to SETTLE seconds (default 15): a compositor that kept an
# earlier picture shows the calendar some rows too high with a band of desktop below it, or
# the year before the page, for good. Prints one line for each and a count:
#   SIZE=1366x768 COMPOSITOR=gnome-shell bash bench/slide_rests.sh build
source "$(dirname "$0")/../tests/e2e/lib.sh"
SIZE=${SIZE:-1920x1080} COMPOSITOR=${COMPOSITOR:-mutter} SLIDES=${SLIDES:-20} REBUILDS=${REBUILDS:-5}
PAGES=${PAGES:-0} PAGE_KEYS=${PAGE_KEYS:-1} SETTLE=${SETTLE:-15} LOAD=${LOAD---cpu $((2 * $(nproc)))}
export SIZE COMPOSITOR SLIDES REBUILDS PAGES PAGE_KEYS SETTLE LOAD

# Compares the screen over window $1 with the window's own picture (the tab's rows left out)
# until they agree or SETTLE seconds pass; prints "right after N s" or "wrong: M rows too
# high" (M the rows by which the screen's picture is shifted, "?" where no shift fits).
# Given file $2, holding a checksum of the window's picture before a change, the comparison
# starts once the window's own picture differs from it (for up to SETTLE seconds too); given
# "-", prints that checksum of the window's picture as it is.
rest_of() {
  /usr/bin/python3 - "$1" "$TAB" "$SETTLE" "${2:-}" <<'PY'
import hashlib, sys, time
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
def own_picture():
    return rows(win.get_image(0, 0, w, h, X.ZPixmap, 0xFFFFFFFF).data)
def checksum(picture):
    return hashlib.sha1(b"".join(picture)).hexdigest()
if sys.argv[4] == "-":
    print(checksum(own_picture()))
    sys.exit(0)
start = time.monotonic()
if sys.argv[4]:
    before = open(sys.argv[4]).read().strip()
    while checksum(own_picture()) == before:
        if time.monotonic() - start > float(sys.argv[3]):
            print("wrong: the window's own picture did not change")
            sys.exit(1)
        time.sleep(0.02)
    start = time.monotonic()
while True:
    own = own_picture()
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
  echo "$COMPOSITOR at $SIZE, load: ${LOAD:-none}, $PAGE_KEYS key(s) a page, $BIN"
  # Slides the calendar away (Ctrl+W) and back (a click on the tab); says which went wrong,
  # naming it $1. Sets tx ty tw th to the tab's place.
  away_and_back() {
    press "$WIN" ctrl+w
    within window_gone "$WIN" || { echo "$1: the calendar did not go"; return 1; }
    read -r tx ty tw th < <(geometry "$TAB")
    xdotool mousemove $((tx + tw / 2)) $((ty + th / 2)) click 1
    within rests_in_view "$WIN" || { echo "$1: the calendar did not come back"; return 1; }
  }
  for i in $(seq 1 "$SLIDES"); do
    away_and_back "slide $i" || continue
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
  local paged=0 paged_wrong=0
  for i in $(seq 1 "$PAGES"); do
    away_and_back "page $i" || continue
    local came=$EPOCHREALTIME
    rest_of "$WIN" - > "$WORK/before" || { echo "page $i: no picture of the window"; continue; }
    xdotool mousemove $((tx + tw / 2)) $((ty + 200))
    # The key 2.6-3.5 s after the slide down ended, by the clock; press itself waits 0.2 s.
    local at=$(( ${came/./} + 2400000 + RANDOM % 900 * 1000 ))
    while (( ${EPOCHREALTIME/./} < at )); do sleep 0.02; done
    local key=Prior keys=()
    (( i % 2 )) && key=Next
    for _ in $(seq 1 "$PAGE_KEYS"); do keys+=("$key"); done
    press "$WIN" "${keys[@]}"
    result=$(rest_of "$WIN" "$WORK/before") || paged_wrong=$((paged_wrong + 1))
    paged=$((paged + 1)); echo "page $i: $result"
  done
  echo "RESULT $COMPOSITOR $SIZE: $wrong of $n slides down, $rebuilt_wrong of $rebuilt rebuilds and $paged_wrong of $paged pages at rest end wrong"
  end_all
}

run_in_xvfb measure "$SIZE"
