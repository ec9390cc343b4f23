#!/usr/bin/env bash
# The tray icon in an XEmbed tray (trayer, started before the program): the icon shows
# today's day number on the tray picture; a left click opens the mini calendar at its place
# and a second closes it; a right click shows the menu with the open to-do items, "&" and
# "_" as they are, and its "Show Mini Calendar" opens the mini calendar.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/tray_lib.sh"

FONT=/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf
TRAY_PICTURE="$(dirname "$0")/../../resources/interface/188.png"

# The icon for day $1 as drawn by the program, at $2 x $2 pixels: the tray picture with
# the day in bold 16-pixel Liberation Sans, centred about x 16 on the baseline y 24,
# scaled down to the size the tray shows it at. Written three times, 1 pixel to the
# left, in place and 1 pixel to the right ($WORK/day$1_-1.png ...), for the rounding of
# the text's width may differ by a pixel from the program's.
expected_icons() {
  local advance x
  advance=$(convert xc: -font "$FONT" -pointsize 16 -debug annotate -annotate 0 "$1" null: 2>&1 \
    | grep -o 'width: [0-9.]*' | head -n 1 | cut -d' ' -f2)
  x=$(awk -v a="$advance" 'BEGIN { print int(16 - a / 2) }')
  convert "$TRAY_PICTURE" -font "$FONT" -pointsize 16 -fill 'rgb(30,30,30)' -filter Triangle \
    \( +clone -annotate +$(( x - 1 ))+24 "$1" -resize "${2}x${2}" -write "$WORK/day$1_-1.png" +delete \) \
    \( +clone -annotate +$(( x + 1 ))+24 "$1" -resize "${2}x${2}" -write "$WORK/day$1_1.png" +delete \) \
    -annotate +$x+24 "$1" -resize "${2}x${2}" "$WORK/day$1_0.png"
}

# How far the icon shown in the tray slot at x y w h on the screen is from the icon of
# each day: prints "day distance" lines, nearest first. Qt shows the 32 x 32 icon scaled
# down to fit the slot (never up), centred in it.
icon_distances() {
  local d dx size
  size=$(( $3 < $4 ? $3 : $4 )); [ "$size" -gt 32 ] && size=32
  import -window root "$SHOT" 2>/dev/null
  convert "$SHOT" -crop "${size}x${size}+$(( $1 + ($3 - size) / 2 ))+$(( $2 + ($4 - size) / 2 ))" +repage "$WORK/shown.png"
  for d in $(seq 1 31); do
    expected_icons "$d" "$size"
    echo "$d $(for dx in -1 0 1; do
                 compare -metric RMSE "$WORK/day${d}_$dx.png" "$WORK/shown.png" null: 2>&1 | sed 's/.*(\(.*\))/\1/'; echo
               done | sed '/^$/d' | sort -g | head -n 1)"
  done | sort -g -k2
}

# The pop-up menus shown now (program windows that are neither the icon nor the mini
# calendar), "id x y w h" a line.
popups() { program_windows | grep -v "^$ICON " | grep -v " $MINI_W $MINI_H\$"; }
wait_popups() { # count -> the pop-ups, once there are that many (5 s at most)
  local i
  for i in $(seq 1 50); do
    [ "$(popups | wc -l)" -eq "$1" ] && { popups; return 0; }
    sleep 0.1
  done
  return 1
}
# Whether pop-up "id x y w h" ($2...) opened at the pointer $1 ("x y"): its top edge at the
# pointer's height, the pointer inside it.
opened_at() {
  local px py; read -r px py <<<"$1"
  [ $(( $4 - py )) -ge -4 ] && [ $(( $4 - py )) -le 4 ] && [ "$px" -ge "$3" ] && [ "$px" -lt $(( $3 + $5 )) ]
}
# Clicks button $1 on the icon, with the tray raised above the calendar window (there is
# no window manager to keep it there).
click_icon() {
  xdotool windowraise "$PANEL"
  xdotool mousemove $(( IX + IW / 2 )) $(( IY + IH / 2 )); sleep 0.3
  xdotool click "$1"
}

scenario() {
  write_files
  # No session bus: Qt embeds the icon in the X tray, whatever desktop runs the tests.
  export DBUS_SESSION_BUS_ADDRESS="unix:path=$WORK/no-bus"
  trayer --edge top --align right --widthtype request --height 32 --transparent false \
    --tint 0xffffff --SetDockType false --SetPartialStrut false >"$WORK/trayer.log" 2>&1 & tray=$!
  trap 'kill $pid $tray 2>/dev/null' EXIT
  pid=
  PANEL=$(wait_window '^panel$' 10) || { echo "FAIL: trayer shows no panel"; exit 1; }

  "$BIN" & pid=$!
  win=$(wait_window '^Calendar$' 15) || { echo "FAIL: no calendar window"; exit 1; }
  mini_calendar_place "$win"
  for _ in $(seq 1 50); do
    ICON=$(xwininfo -id "$PANEL" -tree | awk '/"lumora-calendar"/ {print $1}' | head -n 1)
    [ -n "$ICON" ] && break
    sleep 0.1
  done
  check "the icon is embedded in the tray" [ -n "$ICON" ]
  [ -n "$ICON" ] || exit $FAILURES
  ICON=$(printf '%d' "$ICON")
  read -r IX IY IW IH < <(geometry "$ICON")
  xdotool windowraise "$PANEL"; sleep 1

  # The icon: today's number on the tray picture, nearer to it than to any other day's.
  today=$(date +%-d)
  distances=$(icon_distances "$IX" "$IY" "$IW" "$IH")
  read -r nearest distance < <(head -n 1 <<<"$distances")
  check "the icon shows today's day number, $today (nearest: day $nearest at $distance)" [ "$nearest" = "$today" ]
  check "and looks as drawn (distance $distance)" awk -v d="$distance" 'BEGIN { exit !(d < 0.05) }'

  click_icon 1
  check "a left click opens the mini calendar, ${MINI_W} x ${MINI_H} at $MINI_X,$MINI_Y" wait_mini_calendar shown
  click_icon 1
  check "a second left click closes it" wait_mini_calendar gone

  # A right click: the menu at the pointer; its second entry opens the to-do items.
  click_icon 3
  menu=$(wait_popups 1)
  check "a right click shows the menu at the pointer" opened_at "$(( IX + IW / 2 )) $(( IY + IH / 2 ))" $menu
  read -r _ mx my mw mh <<<"$menu"
  texts=$(read_text "$mx" "$my" $(( mw - 24 )) "$mh" | tr '\n' '|')   # without the submenu arrow
  check "the menu reads About Calendar, To Do Items, Show Mini Calendar, Preferences ($texts)" \
    [ "$texts" = "About Calendar|To Do Items|Show Mini Calendar|Preferences|" ]
  xdotool key Down Down Right
  submenu=$(wait_popups 2 | grep -v "^${menu%% *} ")
  check "the To Do Items submenu opens" [ -n "$submenu" ]
  read -r _ sx sy sw sh <<<"$submenu"
  texts=$(read_text "$sx" "$sy" "$sw" "$sh" | tr '\n' '|')
  check "it lists the open to-do items as they are ($texts)" [ "$texts" = "Buy milk|Tom & Jerry|q3_report & R&D|" ]
  xdotool key Escape Escape
  check "Escape closes the menus" wait_popups 0

  click_icon 3
  wait_popups 1 >/dev/null
  xdotool key Down Down Down Return
  check "the menu's Show Mini Calendar opens the mini calendar" wait_mini_calendar shown
  click_icon 1
  check "and a left click closes it" wait_mini_calendar gone

  quit_with_ctrl_q "$win" "$pid"
  exit $FAILURES
}

run_scenario scenario
