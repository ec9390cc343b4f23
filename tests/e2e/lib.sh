# Helpers shared by the whole-program tests. Each test sources this file, then calls
# run_in_xvfb with a function name: the function runs inside a virtual X screen.
set -u
BUILD_DIR=$(cd "${1:?build folder}" && pwd)
BIN="$BUILD_DIR/lumora-calendar"
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

# Waits up to $2 seconds (default 10) for a visible window whose name matches $1; prints its id.
wait_window() {
  local id i
  for i in $(seq 1 $(( ${2:-10} * 10 ))); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# Waits up to $2 seconds for child process $1 to end; prints its exit status, or
# "timeout". Call it directly (not inside $(...)): only this shell can reap its child.
wait_exit() {
  local i
  for i in $(seq 1 $(( ${2:-10} * 10 ))); do
    if ! kill -0 "$1" 2>/dev/null; then
      wait "$1"; EXIT_STATUS=$?
      return 0
    fi
    sleep 0.1
  done
  EXIT_STATUS=timeout
  return 1
}

geometry() { # window id -> "x y w h"
  xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} /Width:/{w=$2} /Height:/{h=$2} END{print x, y, w, h}'
}

# Runs the function named $1 inside a virtual screen (the test script runs again there).
run_in_xvfb() {
  if [ -n "${LUMORA_E2E_WORK:-}" ]; then
    "$1"
    return $?
  fi
  LUMORA_E2E_WORK="$WORK" xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$BUILD_DIR"
}

# Gives window $1 the keyboard focus (there is no window manager) and types keys $2...
press() {
  local win=$1; shift
  xdotool windowfocus --sync "$win" 2>/dev/null || xdotool windowfocus "$win" 2>/dev/null
  sleep 0.2
  xdotool key "$@"
}
