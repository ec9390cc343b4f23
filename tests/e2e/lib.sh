# Helpers shared by the whole-program tests. Each test sources this file, then calls
# run_in_xvfb with a function name: the function runs inside a virtual X screen.
set -u
BUILD_DIR=$(cd "${1:?build folder}" && pwd)
BIN="$BUILD_DIR/lumora-calendar"
# The user's own home, for the checks of what lies outside the test's folders.
export LUMORA_E2E_REAL_HOME=${LUMORA_E2E_REAL_HOME:-$HOME}
if [ -n "${LUMORA_E2E_WORK:-}" ]; then
  WORK=$LUMORA_E2E_WORK          # inside the virtual screen: the outer run's folder
else
  WORK=$(mktemp -d)
  trap 'rm -rf "$WORK"' EXIT
fi
export HOME="$WORK/home" TMPDIR="$WORK/tmp" XDG_CONFIG_HOME="$WORK/home/.config"
unset XDG_RUNTIME_DIR
mkdir -p "$HOME" "$TMPDIR"
unset QT_QPA_PLATFORM
FAILURES=0

fail() { echo "FAIL: $*"; FAILURES=$((FAILURES + 1)); }
pass() { echo "ok: $*"; }
check() { # description, command...
  local what=$1; shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}
# How long a wait for a state of the program lasts at most, in seconds: long enough for a
# start on a machine many times slower than ours (a start in a fresh HOME took up to 8 s on a
# busy one). Every wait ends as soon as its state is reached, so a long limit costs only
# the runs that would fail anyway.
WAIT=${LUMORA_E2E_WAIT:-60}
# Whether command $2... succeeds within $1 seconds ($1 may be left out: $WAIT), tried every
# 0.1 s (WITHIN_STEP seconds where a state lasts less): for what the program does in its own
# time, such as saving a file, which a fixed sleep may not cover on a loaded machine.
within() {
  local limit=$WAIT
  [[ $1 =~ ^[0-9]+$ ]] && { limit=$1; shift; }
  # In microseconds: SECONDS counts whole seconds, so "within 2" could end after 1 s.
  local end=$(( ${EPOCHREALTIME/./} + limit * 1000000 ))
  while :; do
    "$@" && return 0
    (( ${EPOCHREALTIME/./} < end )) || return 1
    sleep "${WITHIN_STEP:-0.1}"
  done
}

# Given no window (an empty or zero id), xwininfo and import wait for the user to pick one
# with a click: a test would hang there. Here they fail at once instead. Exported, so that
# "bash -c" commands get them too.
xwininfo() {
  if [[ " $* " =~ \ -id\ ([^ ]*) ]]; then
    [[ ${BASH_REMATCH[1]} =~ ^(0x[0-9a-fA-F]+|[0-9]+)$ ]] && (( BASH_REMATCH[1] != 0 )) \
      || { echo "xwininfo: no window id given" >&2; return 1; }
  elif [[ " $* " != *" -root "* && " $* " != *" -name "* ]]; then
    echo "xwininfo: no window given" >&2; return 1
  fi
  command xwininfo "$@"
}
import() {
  [[ " $* " =~ \ -window\ ([^ ]+)\  && ${BASH_REMATCH[1]} != 0 ]] \
    || { echo "import: no window given" >&2; return 1; }
  command import "$@"
}
export -f xwininfo import

# The id of a visible window whose name matches $1, if there is one.
visible_window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | grep -m 1 .; }
# Waits up to $2 seconds (default $WAIT) for a visible window whose name matches $1; prints
# its id.
wait_window() { within "${2:-$WAIT}" visible_window "$1"; }

# Whether window $1 is no longer shown (unmapped or destroyed).
window_gone() { ! xwininfo -id "$1" 2>/dev/null | grep -q IsViewable; }
# Whether calendar window $1 rests in view: mapped, and its slide over (a slide gives the
# window a shape and takes it off at its end).
rests_in_view() { [[ $(xwininfo -shape -id "$1" 2>/dev/null) == *"Map State: IsViewable"*"No window shape defined"* ]]; }

# Waits up to $2 seconds (default $WAIT) for child process $1 to end; sets EXIT_STATUS to its
# exit status, or "timeout". Call it directly (not inside $(...)): only this shell can reap
# its child.
ended() { ! kill -0 "$1" 2>/dev/null; }
wait_exit() {
  within "${2:-$WAIT}" ended "$1" || { EXIT_STATUS=timeout; return 1; }
  wait "$1"; EXIT_STATUS=$?
  return 0
}
# As wait_exit; a child that has not ended by then is killed and reaped, so that its lock
# reads as stale to the next start (EXIT_STATUS stays "timeout").
reap() {
  wait_exit "$@" && return 0
  kill -9 "$1" 2>/dev/null; wait "$1" 2>/dev/null
  return 1
}

# Quits with Ctrl+Q on window $1 and checks that the program (child $2) ends with status 0.
quit_with_ctrl_q() {
  press "$1" ctrl+q
  wait_exit "$2"
  local status=$EXIT_STATUS
  [ "$status" = 0 ] && pass "Ctrl+Q quits with 0" || { fail "quit status $status"; kill -9 "$2" 2>/dev/null; }
}

geometry() { # window id -> "x y w h"
  xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} /Width:/{w=$2} /Height:/{h=$2} END{print x, y, w, h}'
}

# ---- Faked dates ----
# The program run with command $2... under the faked wall clock $1 ("YYYY-MM-DD hh:mm:ss"),
# which then runs on. Only the clock: libfaketime would also shift the times that stat
# returns (NO_FAKE_STAT keeps them), and fontconfig, finding every font cache older than
# its folder, would rescan all fonts at each start and, run by root, rewrite the machine's
# caches. Timers keep the real monotonic clock. A test that fakes a date sets FAKES_DATE=1
# before run_in_xvfb, which then checks the machine's font caches afterwards.
FAKETIME_LIB=$(ls /usr/lib/*/faketime/libfaketimeMT.so.1 2>/dev/null | head -n 1)
with_faked_date() {
  [ -n "$FAKETIME_LIB" ] || { echo "FAIL: libfaketime is not installed" >&2; return 127; }
  # On the sanitizer build the sanitizer's allocator asks the clock the first time it uses
  # each size of block, also inside the libraries' set-up before libfaketime's own: libfaketime
  # then looks its functions up, which allocates a block of that size, and the allocator waits
  # for itself for good (seen depending on the program's path). The allocator asks only to
  # time its returns of memory to the system, which are left off here.
  ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}allocator_release_to_os_interval_ms=-1" \
    LD_PRELOAD="$FAKETIME_LIB" FAKETIME="@$1" NO_FAKE_STAT=1 FAKETIME_DONT_FAKE_MONOTONIC=1 "${@:2}"
}
# The names and times of the machine's font caches (the system's and the user's own).
font_caches() {
  find /var/cache/fontconfig "$LUMORA_E2E_REAL_HOME/.cache/fontconfig" -maxdepth 1 -type f \
    -printf '%p %T@\n' 2>/dev/null | sort
}

# ---- A display of the test's own ----
# Starts a display server at a free display number (1000 to 9999, five tries): calls $1 with
# the number and arguments $3..., which starts the server in the background, and waits up to
# 10 s for the server to be ready (command $2 succeeds) or to end. Tests run side by side: a
# server that ended lost the number to another test's, and the next number is tried.
at_free_display() {
  local start=$1 ready=$2 n pid; shift 2
  for _ in 1 2 3 4 5; do
    n=$(( 1000 + RANDOM % 9000 ))
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    "$start" $n "$@"; pid=$!
    within 10 ready_or_ended "$ready" $pid
    "$ready" && kill -0 $pid 2>/dev/null && return 0
    wait $pid 2>/dev/null   # another test took that number meanwhile
  done
  return 1
}
ready_or_ended() { "$1" || ! kill -0 "$2" 2>/dev/null; }

# ---- An X server of the case's own ----
# Starts an X server as a desktop's, startx's and xvfb-run's run, for a case that needs one
# fresh or ends it: without -noreset, so that it resets whenever its last client leaves, and
# with its clients' comings and goings logged (-audit 4) in XSERVER_LOG. Arguments are passed
# on to Xvfb (-auth FILE). It is waited for by its socket only, so that no client of the
# test's comes before the program's. Sets XSERVER_PID and XSERVER_DISPLAY (the program and
# xdotool reach it through DISPLAY).
own_x_server() { at_free_display start_x_server x_server_listens "$@"; }
start_x_server() {
  XSERVER_DISPLAY=:$1 XSERVER_LOG="$WORK/xserver-$1.log"
  Xvfb "$XSERVER_DISPLAY" -screen 0 "${LUMORA_E2E_SCREEN:-1280x1024}x24" -nolisten tcp -audit 4 "${@:2}" \
    >"$XSERVER_LOG" 2>&1 & XSERVER_PID=$!
}
x_server_listens() { [ -S "/tmp/.X11-unix/X${XSERVER_DISPLAY#:}" ]; }
# Ends that server as a session's end does (SIGTERM), and waits for it.
end_x_server() { kill $XSERVER_PID 2>/dev/null; wait $XSERVER_PID 2>/dev/null; }
# Whether process $1 connected to that server twice (main's check that a display answers,
# then the toolkit).
x_connected_twice() { [ "$(grep -c "connected from .*pid=$1 )" "$XSERVER_LOG")" -ge 2 ]; }
# Whether process $1 made its second connection to that server while its first one was still
# open: a server that resets when its last client leaves turns away whoever comes after the
# program's first connection closed, unless another client happens to be there. (The server
# numbers its clients afresh as they come, so the first one's number is read from the log.)
kept_a_client() {
  awk -v pid="pid=$1 )" '
    / connected from / && index($0, pid) {
      if (first != "") { done = 1; exit }
      match($0, /client [0-9]+ /); first = substr($0, RSTART, RLENGTH); next }
    first != "" && index($0, first "disconnected") { exit }
    END { exit !done }' "$XSERVER_LOG"
}

# ---- A session bus that never answers ----
# Listens at socket $1 as a wedged bus daemon does: it accepts every connection and answers
# nothing. With $2 = "once" it answers each connection's authentication (OK), then nothing more
# (a bus that falls silent after its first answer); with $2 = "first" it answers the first
# connection as a bus daemon does, its authentication, the passing of descriptors and its Hello
# call, and the later ones nothing (a bus that answered the calendar's asking and then fell
# silent). With $3 = SIG:N (TERM, HUP or INT) it sends that signal to the client of its Nth
# connection as it comes (the calendar's asking is the program's first, libdbus's its second),
# and writes "signalled pid PID" into file $1.log, where it writes "connected pid PID" for each
# connection first. Sets BUS_PID; waits for the socket.
silent_bus() {
  python3 -c '
import os, select, signal, socket, struct, sys
server = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
server.bind(sys.argv[1]); server.listen(16)
mode, (name, _, at) = sys.argv[2], sys.argv[3].partition(":")
clients, count = {}, 0   # socket -> [what it sent and is not answered yet, answers still to give]
def answer(s, state):
    data = state[0]
    if data.startswith(b"\0"): data = data[1:]
    while state[1] > 0:
        if data.startswith(b"BEGIN\r\n"):
            hello = data[7:]
            if len(hello) < 16 or len(hello) < 16 + struct.unpack_from("<I", hello, 4)[0] + ((struct.unpack_from("<I", hello, 12)[0] + 7) & ~7):
                break
            # The reply to it: a method return without a body, its only field the reply serial.
            s.sendall(b"l\x02\x00\x01" + struct.pack("<III", 0, 1, 8) + b"\x05\x01u\x00" + hello[8:12])
            data = b""
        elif b"\r\n" in data:
            line, data = data.split(b"\r\n", 1)
            s.sendall(b"OK 0123456789abcdef0123456789abcdef\r\n" if line.startswith(b"AUTH") else b"AGREE_UNIX_FD\r\n")
        else:
            break
        state[1] -= 1
    state[0] = data
while True:
    for s in select.select([server] + list(clients), [], [])[0]:
        if s is server:
            client, count = server.accept()[0], count + 1
            clients[client] = [b"", {"once": 1, "first": 3 if count == 1 else 0}.get(mode, 0)]
            pid = int.from_bytes(client.getsockopt(socket.SOL_SOCKET, socket.SO_PEERCRED, 12)[:4], "little")
            log = open(sys.argv[1] + ".log", "a")
            log.write("connected pid %d\n" % pid); log.flush()
            if name and count == int(at):
                os.kill(pid, getattr(signal, "SIG" + name))
                log.write("signalled pid %d\n" % pid)
            log.close()
            continue
        try:
            data = s.recv(4096)
        except OSError:   # a client that closed with our answer unread
            data = b""
        if not data:
            del clients[s]; s.close()
        else:
            clients[s][0] += data
            answer(s, clients[s])
' "$1" "${2:-never}" "${3:-}" & BUS_PID=$!
  within 10 test -S "$1" || { kill $BUS_PID; wait $BUS_PID 2>/dev/null; return 1; }
}

# ---- A display of the test's own in front of the X server ----
# Starts x_proxy.py (beside this file; its rules there) with rule $1 in front of the display
# the test runs on, at a free display number: sets PROXY_PID, PROXY_DISPLAY and PROXY_LOG. The
# program reaches the server through it (DISPLAY=$PROXY_DISPLAY); the test's own tools go to
# the server straight, so that the proxy's connections are the program's alone. The server's
# cookie (xvfb-run's) is given to the proxy's display too, in the same authority file.
X_PROXY="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/x_proxy.py"
x_proxy() {
  local cookie
  cookie=$(xauth list "$DISPLAY" 2>/dev/null | awk '{print $3; exit}')
  at_free_display start_x_proxy proxy_listens "$1" || return 1
  [ -z "$cookie" ] || xauth add "$PROXY_DISPLAY" . "$cookie"
}
start_x_proxy() {
  PROXY_DISPLAY=:$1 PROXY_LOG="$WORK/proxy-$1.log"
  python3 "$X_PROXY" $1 "${DISPLAY#:}" "$PROXY_LOG" "$2" 2>>"$WORK/proxy.err" & PROXY_PID=$!
}
proxy_listens() { grep -qx listening "$PROXY_LOG" 2>/dev/null; }
# Ends it as a server that ends (every connection closed), if a break has not ended it already.
end_x_proxy() { kill $PROXY_PID 2>/dev/null; wait $PROXY_PID 2>/dev/null; }

# ---- A compositor of the test's own ----
# Starts fake_compositor.py (beside this file; how it loses a window's pictures is said there)
# on the display the test runs on, its damage cleared $1 ms after a copy (default its own): sets
# COMPOSITOR_PID and COMPOSITOR_LOG, and waits until it composites.
FAKE_COMPOSITOR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/fake_compositor.py"
fake_compositor() {
  COMPOSITOR_LOG="$WORK/compositor.log"
  /usr/bin/python3 "$FAKE_COMPOSITOR" "$COMPOSITOR_LOG" ${1:-} 2>>"$WORK/compositor.err" & COMPOSITOR_PID=$!
  within 10 grep -qx composites "$COMPOSITOR_LOG" 2>/dev/null
}
end_fake_compositor() { kill $COMPOSITOR_PID 2>/dev/null; wait $COMPOSITOR_PID 2>/dev/null; }
# Whether it has cleared the damage of window $1 since its last copy of the window's picture:
# what the window draws next is then copied.
damage_cleared() {
  awk -v id="$(printf '0x%x' "$1")" '$3 == id && ($2 == "copied" || $2 == "cleared") { last = $2 }
    END { exit last != "cleared" }' "$COMPOSITOR_LOG"
}

# Runs the function named $1 inside a virtual screen of size $2 (default 1280x1024); the test
# script runs again there, with the size in LUMORA_E2E_SCREEN.
run_in_xvfb() {
  if [ -n "${LUMORA_E2E_WORK:-}" ]; then
    "$1"
    return $?
  fi
  if [ "${FAKES_DATE:-}" = 1 ]; then
    local caches status
    caches=$(font_caches)
    FAKES_DATE=0 run_in_xvfb "$@"; status=$?
    if [ "$(font_caches)" = "$caches" ]; then
      echo "ok: the machine's font caches are as before the test"
    else
      echo "FAIL: the test changed the machine's font caches:"
      diff <(echo "$caches") <(font_caches) | sed -n '2,11p'
      status=1
    fi
    return $status
  fi
  local size=${2:-1280x1024}
  # Each test looks for a free display from a place of its own: tests run side by side, and
  # two that look from the same place can both pick one number, the later server then
  # failing to start.
  # -noreset: by default the server resets itself each time its last client leaves, and a
  # program that connects during the reset is turned away ("could not connect to display").
  # A test that quits the calendar and starts the next one, while xdotool comes and goes,
  # met such a reset now and then on a loaded machine.
  LUMORA_E2E_WORK="$WORK" LUMORA_E2E_SCREEN="$size" \
    xvfb-run -a -n $((100 + RANDOM % 800)) -s "-noreset -screen 0 ${size}x24" bash "$0" "$BUILD_DIR"
}

# Runs the test script's scenarios side by side, each in a virtual screen and folders of its
# own: every argument is "title|size|VAR=value ...", the script run again with those variables
# and LUMORA_E2E_ONE set to the size (it then runs run_in_xvfb scenario SIZE and ends). Half
# as many at once as there are cores (LUMORA_E2E_JOBS overrides), the first ones given
# started first (give the longest first). Prints each one's output under its title, in
# the order given, and returns how many failed.
run_scenarios() {
  local jobs=${LUMORA_E2E_JOBS:-$(( $(nproc) / 2 ))} i=0 entry title size vars failed=0
  (( jobs >= 1 )) || jobs=1
  for entry in "$@"; do
    IFS='|' read -r title size vars <<< "$entry"
    while (( $(jobs -rp | wc -l) >= jobs )); do wait -n; done
    # shellcheck disable=SC2086
    ( env $vars LUMORA_E2E_ONE="$size" bash "$0" "$BUILD_DIR" > "$WORK/scenario-$i.log" 2>&1
      echo $? > "$WORK/scenario-$i.status" ) &
    i=$((i + 1))
  done
  wait
  i=0
  for entry in "$@"; do
    echo "== ${entry%%|*}"
    cat "$WORK/scenario-$i.log"
    [ "$(cat "$WORK/scenario-$i.status" 2>/dev/null)" = 0 ] || failed=$((failed + 1))
    i=$((i + 1))
  done
  return $failed
}

# Runs the scenario function $1 in a virtual screen, prints the closing count line and ends
# the test with the scenario's status.
run_scenario() {
  run_in_xvfb "$1"
  local status=$?
  [ $status = 0 ] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed"
  exit $status
}

# Gives window $1 the keyboard focus (with or without a window manager) and types keys $2...
press() {
  local win=$1 i; shift
  [ -n "$win" ] || { echo "press: no window for keys $*" >&2; return 1; }
  # A window manager may give the focus back to the window that had it (a dialog above):
  # the keys go out only once the window holds the focus, or after 3 s of asking.
  for i in $(seq 1 10); do
    xdotool windowfocus --sync "$win" 2>/dev/null || xdotool windowfocus "$win" 2>/dev/null
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$win" ] && break
    # A window manager that keeps the focus where it is may still activate the window
    # when asked the way a taskbar asks.
    [ "$i" -ge 4 ] && [ -n "${LUMORA_E2E_WM:-}" ] && xdotool windowactivate "$win" 2>/dev/null
    sleep 0.3
  done
  sleep 0.2
  xdotool key "$@"
}

# ---- The menus at the calendar window's top-right corner ----
# The id of a menu of the program that is shown, if one is: Qt maps a menu as a window that
# the window manager leaves alone (override-redirect) and that belongs to another window
# (WM_TRANSIENT_FOR), as it does a tooltip. The tray icon's window is override-redirect too,
# but belongs to none. (A menu's window type says so only the first time it shows: Qt 6.4
# gives a menu shown again the normal type.)
shown_menu() {
  local id
  for id in $(xdotool search --onlyvisible --classname '^lumora-calendar$' 2>/dev/null); do
    xwininfo -id "$id" 2>/dev/null | grep -q 'Override Redirect State: yes' || continue
    xprop -id "$id" WM_TRANSIENT_FOR _NET_WM_WINDOW_TYPE 2>/dev/null \
      | awk '/^WM_TRANSIENT_FOR\(WINDOW\)/ { owned = 1 } /TOOLTIP/ { tip = 1 } END { exit !(owned && !tip) }' \
      && { echo "$id"; return 0; }
  done
  return 1
}
# Whether the keyboard's focus is in a window of the program.
keyboard_in_program() {
  local focus
  focus=$(xdotool getwindowfocus 2>/dev/null) && xprop -id "$focus" WM_CLASS 2>/dev/null | grep -q '"lumora-calendar"'
}
# Clicks the menu bar at ($1, 8) (the calendar window's width less 18: the Help menu's title)
# and, once its menu shows and the program has the keyboard, types keys $2... into it: keys
# sent before would go to the calendar window or to whichever window holds the keyboard. A
# click that shows no menu within a third of $WAIT is made again, up to three times. Returns 1
# where no menu showed, and fails where the keyboard stays elsewhere.
open_menu() {
  local x=$1; shift
  for _ in 1 2 3; do
    xdotool mousemove "$x" 8 click 1
    within $(( WAIT / 3 )) shown_menu > /dev/null && break
  done
  shown_menu > /dev/null || { echo "  no menu showed after three clicks at ($x, 8)"; return 1; }
  [ $# = 0 ] && return 0
  within $(( WAIT / 3 )) keyboard_in_program \
    || { fail "the program's menu shows, but the keyboard is elsewhere (keys $* not typed)"; return 1; }
  xdotool key "$@"
}

# ---- The year view on the screen (sample branding "Standard") ----
SHOT="$WORK/shot.png"

screen_pixel() { # x y -> "r g b" of the screen now
  import -window root "$SHOT" 2>/dev/null
  convert "$SHOT" -crop "1x1+$1+$2" +repage -format '%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]' info:
}

# The rows of column x=2 where the calendar area's blue border lines run (year view).
border_rows() {
  import -window root "$SHOT" 2>/dev/null
  convert "$SHOT" -crop 1x10000+2+0 +repage txt:- | awk -F'[,:]' '/#7F9DB9/ {print $2}'
}

click() { xdotool mousemove "$1" "$2" click 1; sleep 0.8; }

# The value of a branding key of the sample edition.
branding_value() { sed -n "s/^$1=//p" "$BUILD_DIR/Standard/calspc.dat" | tr -d '\r'; }

# Measures the year view of calendar window $1 from its border lines and the branding's
# margins: sets TITLE (top of the calendar area), AREA (its height), SCREEN_W, SCREEN_H and
# YEAR_X, YEAR_Y (a Wednesday in the third week row of January: always a day of it).
measure_year_view() {
  local rows margin_w margin_h cell_w cell_h
  rows=($(border_rows))
  [ ${#rows[@]} -ge 2 ] || return 1
  TITLE=${rows[0]}
  AREA=$(( ${rows[1]} + 2 - TITLE ))
  read -r _ _ SCREEN_W SCREEN_H < <(geometry "$1")
  margin_w=$(awk -v w="$SCREEN_W" -v p="$(branding_value leftMargin_pct)" 'BEGIN{print int(w*p)}')
  margin_h=$(awk -v h="$AREA" -v p="$(branding_value topMargin_pct)" 'BEGIN{print int(h*p)}')
  cell_w=$(( (SCREEN_W - 6 * margin_w) / 31 ))
  cell_h=$(( (AREA - margin_h) / 27 ))
  YEAR_X=$(( margin_w + 4 * cell_w + cell_w / 2 ))
  YEAR_Y=$(( TITLE + margin_h + 4 * cell_h + cell_h / 2 ))
}
