#!/usr/bin/env bash
# The tray icon in an XEmbed tray (trayer, started before the program, reserving its edge:
# the calendar covers the screen below it, and again after it ended), with a session bus that
# never answers, which the calendar then runs without: the icon shows
# today's day number on the tray picture; a left click opens the mini calendar at its place
# and a second closes it; a right click shows the menu with the open to-do items, "&" and
# "_" as they are, and its "Show Mini Calendar" opens the mini calendar. The program runs
# across a midnight: at the day-change timer's first tick on the new day, the year view
# circles the new day, the countdown tile counts one day less and the icon shows the new
# day's number, each repainted on its own (both days are in spring: a new season would
# rebuild the whole window and repaint everything).
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/tray_lib.sh"

# Wednesday 13 May 2026, 27 s before midnight (the calendar first waits 2 s for the silent
# bus). The timer ticks every 30 s from the window's making, so its first tick comes a few
# seconds after midnight, and the checks that come first run on the 13th. Only the wall
# clock is faked: Qt's timers run by the monotonic clock, which stays real.
DAY=13
FAKE_START="2026-05-13 23:59:33"
FAKES_DATE=1

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
# each day (or of the days given after the slot): prints "day distance" lines, nearest
# first. Qt shows the 32 x 32 icon scaled down to fit the slot (never up), centred in it.
icon_distances() {
  local d dx size days
  size=$(( $3 < $4 ? $3 : $4 )); [ "$size" -gt 32 ] && size=32
  days=("${@:5}"); [ ${#days[@]} -gt 0 ] || days=($(seq 1 31))
  import -window root "$SHOT" 2>/dev/null
  convert "$SHOT" -crop "${size}x${size}+$(( $1 + ($3 - size) / 2 ))+$(( $2 + ($4 - size) / 2 ))" +repage "$WORK/shown.png"
  for d in "${days[@]}"; do
    expected_icons "$d" "$size"
    echo "$d $(for dx in -1 0 1; do
                 compare -metric RMSE "$WORK/day${d}_$dx.png" "$WORK/shown.png" null: 2>&1 | sed 's/.*(\(.*\))/\1/'; echo
               done | sed '/^$/d' | sort -g | head -n 1)"
  done | sort -g -k2
}

# The pop-up menus shown now (program windows that are neither the icon nor the mini
# calendar), "id x y w h" a line.
popups() { program_windows | grep -v "^$ICON " | grep -v " $MINI_W $MINI_H\$"; }
popups_are() { [ "$(popups | wc -l)" -eq "$1" ]; }
wait_popups() { within popups_are "$1" && { popups; true; }; } # count -> the pop-ups, once there are that many
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

# Today's red circle in the year view as "w h x y" (its box on the screen), empty when none.
circle() {
  import -window root "$SHOT" 2>/dev/null
  convert "$SHOT" -crop "${SCREEN_W}x${AREA}+0+${TITLE}" +repage -fill black +opaque '#FF0000' \
    -format '%@' info: | awk -F'[x+]' -v t="$TITLE" '$1 > 1 { print $1, $2, $3, $4 + t }'
}
# The countdown tile's day count as tesseract reads it: the tile stands 5 pixels in from
# the calendar area's bottom-left corner, 130 high, its count's baseline 44 below its top.
countdown() {
  import -window root "$SHOT" 2>/dev/null
  convert "$SHOT" -crop "118x26+5+$(( TITLE + AREA - 5 - 130 + 22 ))" +repage -colorspace gray \
    -resize 400% -threshold 50% "$WORK/count.png"
  OMP_THREAD_LIMIT=1 tesseract "$WORK/count.png" - --psm 7 2>/dev/null | tr -dc '0-9'
}

scenario() {
  write_files
  # A session bus that never answers (a wedged bus daemon): the calendar runs without it, and
  # Qt embeds the icon in the X tray, whatever desktop runs the tests.
  silent_bus "$WORK/silent-bus" || { echo "FAIL: no silent bus"; exit 1; }
  export DBUS_SESSION_BUS_ADDRESS="unix:path=$WORK/silent-bus"
  # A dock that reserves its edge, where no window manager takes it off the work area.
  trayer --edge top --align right --widthtype request --height 32 --transparent false \
    --tint 0xffffff --SetDockType true --SetPartialStrut true >"$WORK/trayer.log" 2>&1 & tray=$!
  trap 'kill $pid $tray $BUS_PID 2>/dev/null' EXIT
  pid=
  PANEL=$(wait_window '^panel$') || { echo "FAIL: trayer shows no panel"; exit 1; }

  printf '1;0;1' > "$XDG_CONFIG_HOME/LMCalendar.prefs"   # the countdown tile shows too
  [ -n "$FAKETIME_LIB" ] || { echo "FAIL: libfaketime is not installed"; exit 1; }
  with_faked_date "$FAKE_START" "$BIN" & pid=$!
  started=$SECONDS
  win=$(wait_window '^Calendar$') || { echo "FAIL: no calendar window"; exit 1; }
  W=${LUMORA_E2E_SCREEN%x*}; H=${LUMORA_E2E_SCREEN#*x}
  check "the calendar covers the screen below the tray's band ($(geometry "$win"))" \
    [ "$(geometry "$win")" = "0 32 $W $(( H - 32 ))" ]
  mini_calendar_place "$win"
  embedded_icon() { xwininfo -id "$PANEL" -tree | awk '/"lumora-calendar"/ {print $1}' | grep -m 1 .; }
  ICON=$(within embedded_icon)
  check "the icon is embedded in the tray" [ -n "$ICON" ]
  [ -n "$ICON" ] || exit $FAILURES
  ICON=$(printf '%d' "$ICON")
  read -r IX IY IW IH < <(geometry "$ICON")
  xdotool windowraise "$PANEL"; sleep 1

  # The icon: today's number on the tray picture, nearer to it than to any other day's.
  distances=$(icon_distances "$IX" "$IY" "$IW" "$IH")
  read -r nearest distance < <(head -n 1 <<<"$distances")
  check "the icon shows today's day number, $DAY (nearest: day $nearest at $distance)" [ "$nearest" = "$DAY" ]
  check "and looks as drawn (distance $distance)" awk -v d="$distance" 'BEGIN { exit !(d < 0.05) }'
  # Today's circle and the countdown (to Christmas: no countdown event in the file).
  measure_year_view "$win" || { echo "FAIL: no calendar area borders found"; exit 1; }
  read -r cw ch cx cy < <(circle)
  count=$(countdown)
  check "the countdown tile shows 226 days ($count)" [ "$count" = 226 ]

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

  # The timer's first tick after midnight, some 30 s after the start. The 14th stands one
  # column to the right of the 13th in the year view.
  for _ in $(seq 1 $(( 55 + WAIT - (SECONDS - started) ))); do
    [ "$(circle)" != "$cw $ch $cx $cy" ] && break
    sleep 1
  done
  sleep 0.5
  column=$(( (SCREEN_W - 6 * $(awk -v w="$SCREEN_W" -v p="$(branding_value leftMargin_pct)" 'BEGIN{print int(w*p)}')) / 31 ))
  shown=$(circle)
  check "after midnight the year view circles the 14th ($shown, before: $cw $ch $cx $cy)" \
    [ "$shown" = "$cw $ch $(( cx + column )) $cy" ]
  shown=$(countdown)
  check "the countdown tile counts one day less ($shown)" [ "$shown" = $(( count - 1 )) ]
  xdotool windowraise "$PANEL"; sleep 0.3
  read -r nearest distance < <(icon_distances "$IX" "$IY" "$IW" "$IH" $DAY $(( DAY + 1 )) | head -n 1)
  check "the icon shows the 14th (nearest: day $nearest at $distance)" \
    awk -v n="$nearest" -v d="$distance" -v day=$(( DAY + 1 )) 'BEGIN { exit !(n == day && d < 0.05) }'

  # A tray that appears after the program (here the same tray started again): the icon
  # docks in it.
  kill $tray; wait $tray 2>/dev/null
  check "the first tray has ended" within 30 bash -c "! xwininfo -id $PANEL >/dev/null 2>&1"
  trayer --edge top --align right --widthtype request --height 32 --transparent false \
    --tint 0xffffff --SetDockType false --SetPartialStrut false >>"$WORK/trayer.log" 2>&1 & tray=$!
  PANEL=$(wait_window '^panel$' 60) || { echo "FAIL: trayer started again shows no panel"; exit 1; }
  check "the icon docks in a tray started after the program" \
    within 30 bash -c "xwininfo -id $PANEL -tree | grep -q '\"lumora-calendar\"'"

  quit_with_ctrl_q "$win" "$pid"
  exit $FAILURES
}

run_scenario scenario
