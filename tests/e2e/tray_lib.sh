# Helpers shared by the whole-program tests of the tray icon (sourced after lib.sh).

TPC="$HOME/Documents/Calendar.tpc"

# Preferences of an earlier run (no quick-start overlay; the tray icon on) and four to-do
# items, the second ticked off: the menu lists the other three, "&" and "_" shown as they are.
write_files() {
  mkdir -p "$HOME/Documents" "$XDG_CONFIG_HOME"
  printf '0;0;1' > "$XDG_CONFIG_HOME/LMCalendar.prefs"
  printf '0\tBuy milk\n1\tPaid the rent\n0\tTom & Jerry\n0\tq3_report & R&D\nEvents Data:\n' > "$TPC"
}

# The mini calendar's place for calendar window $1: one tenth of the calendar window each
# way, 6 pixels in from the right and bottom edges of the work area, which the calendar
# window covers (less any edge a tray bar reserves). Sets MINI_X, MINI_Y, MINI_W, MINI_H.
mini_calendar_place() {
  local cx cy cw ch
  read -r cx cy cw ch < <(geometry "$1")
  MINI_W=$(( cw / 10 )); MINI_H=$(( ch / 10 ))
  MINI_X=$(( cx + cw - MINI_W - 6 )); MINI_Y=$(( cy + ch - MINI_H - 6 ))
}

# The visible windows of the program that are not the calendar or the tab window, one
# "id x y w h" a line (the mini calendar, a pop-up menu, the tray icon itself). They have
# no title of their own, so they are found by the program's window class.
program_windows() {
  local id
  for id in $(xdotool search --onlyvisible --classname '^lumora-calendar$' 2>/dev/null); do
    case $(xdotool getwindowname "$id" 2>/dev/null) in Calendar|Tab) continue ;; esac
    echo "$id $(geometry "$id")"
  done
}

# Whether the mini calendar shows at its place at its size.
mini_calendar_shown() {
  program_windows | grep -q " $MINI_X $MINI_Y $MINI_W $MINI_H\$"
}

# Whether the mini calendar is in the state named $1 ("shown" or "gone").
mini_calendar_is() { if mini_calendar_shown; then [ "$1" = shown ]; else [ "$1" = gone ]; fi; }
# Waits up to $WAIT seconds for the mini calendar's state $1.
wait_mini_calendar() { within mini_calendar_is "$1"; }

# The text tesseract reads in the screen rectangle x y w h (scaled up 4 times, made two
# colours: a highlighted entry's light text on dark reads as well as dark text on light).
read_text() {
  sleep 0.3    # a pop-up just mapped may not be painted yet
  import -window root "$SHOT" 2>/dev/null
  convert "$SHOT" -crop "${3}x${4}+$1+$2" +repage -colorspace gray -resize 400% -threshold 65% "$WORK/text.png"
  OMP_THREAD_LIMIT=1 tesseract "$WORK/text.png" - --psm 6 2>/dev/null | sed '/^[[:space:]]*$/d'
}
