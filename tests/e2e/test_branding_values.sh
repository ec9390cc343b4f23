#!/usr/bin/env bash
# Crafted branding folders, as an edition maker might write them by hand: numbers out of
# range, missing keys, odd colour texts and mail links with queries. With each the program
# starts, shows its calendar window over the work area within a few seconds with the year
# view's band on the screen, and quits with Ctrl+Q and status 0; on 1280 x 1024 and 1024 x 768.
source "$(dirname "$0")/lib.sh"

# Writes the branding folder $1 beside a copy of the program: the sample edition with the
# "key=value" lines given after it put in place of its own (a key given as "key=" alone is
# removed).
sample_with() {
  local dir=$RUN/$1; shift
  mkdir -p "$dir" && cp "$BIN" "$dir/" && cp -r "$BUILD_DIR/Standard" "$dir/Edition"
  local line key
  for line in "$@"; do
    key=${line%%=*}
    sed -i "/^$key=/d" "$dir/Edition/calspc.dat"
    [ "$line" != "$key=" ] && echo "$line" >> "$dir/Edition/calspc.dat"
  done
}

# Writes the branding folder $1 holding only the lines given, and the pictures named in $PICTURES.
only() {
  local dir=$RUN/$1; shift
  mkdir -p "$dir/Edition" && cp "$BIN" "$dir/"
  printf '%s\n' "$@" > "$dir/Edition/calspc.dat"
  local p
  for p in ${PICTURES:-}; do cp "$BUILD_DIR/Standard/$p" "$dir/Edition/"; done
}

# Runs the program of folder $1; checks the window, the bands and a clean quit.
try_branding() {
  local name=$1 dir=$RUN/$1 pid win g rows
  echo "0;0;1" > "$HOME/.config/LMCalendar.prefs"     # not a first run: no help overlay
  "$dir/lumora-calendar" > "$dir/output.txt" 2>&1 & pid=$!
  if ! win=$(wait_window '^Calendar$'); then
    fail "$name: no calendar window within $WAIT s"; kill -9 $pid 2>/dev/null; wait $pid 2>/dev/null; return
  fi
  sleep 1
  g=$(geometry "$win")
  check "$name: the window is the work area ($g)" test "$g" = "0 0 $SCREEN_W $SCREEN_H"
  # The calendar band's border lines (the default blue) lie on the screen, the band between
  # them at least half of it high.
  rows=($(border_rows))
  check "$name: the year view's band is on the screen (rows ${rows[*]:0:2})" \
    test ${#rows[@]} -ge 2 -a "${rows[1]:-0}" -lt "$SCREEN_H" -a $(( ${rows[1]:-0} - ${rows[0]:-0} )) -ge $(( SCREEN_H / 2 ))
  check "$name: no message box" sh -c "! xdotool search --onlyvisible --name '^Lumora Calendar' >/dev/null 2>&1"
  # LUMORA_E2E_SHOTS names a folder to keep a screenshot of each in, to look at.
  [ -n "${LUMORA_E2E_SHOTS:-}" ] && import -window root "$LUMORA_E2E_SHOTS/$name-$LUMORA_E2E_SCREEN.png"
  press "$win" ctrl+q
  wait_exit $pid
  check "$name: Ctrl+Q quits with status 0 (status $EXIT_STATUS)" test "$EXIT_STATUS" = 0
  [ "$EXIT_STATUS" = timeout ] && kill -9 $pid 2>/dev/null
  check "$name: no sanitizer or Qt memory report" sh -c "! grep -qiE 'runtime error|ERROR: AddressSanitizer|out of memory' '$dir/output.txt'"
}

scenario() {
  SCREEN_W=${LUMORA_E2E_SCREEN%x*}; SCREEN_H=${LUMORA_E2E_SCREEN#*x}
  RUN=$WORK/$LUMORA_E2E_SCREEN; mkdir -p "$RUN" "$HOME/.config"

  sample_with huge CalendarAreaHeightPercentStandard=1e6 CalendarAreaHeightPercentWide=1e6
  sample_with title TitleAreaHeight=1e300
  sample_with negative TitleAreaHeight=-500 leftMargin_pct=1e300 topMargin_pct=-1e300 yearImage_x=1e300 yearImage_y=-1e300
  sample_with typo CalendarAreaHeightPercentStandard=70 CalendarAreaHeightPercentWide=70 leftMargin_pct=8
  sample_with nokeys TitleAreaHeight= CalendarAreaHeightPercentStandard= CalendarAreaHeightPercentWide= leftMargin_pct= topMargin_pct=
  sample_with colours tabColor=16744448 calendarBackgroundColor='&h00FF8000' daysColor='#FFF' monthNamesColor=red,green,blue yearColor=10,20
  sample_with mail 'floatingLink1=mailto:someone@example.com?attach=/etc/passwd' \
    'homeButtonLink=mailto:someone@example.com?subject=Hi&attach=~/.ssh/id_rsa' 'vendorURL=mailto:someone@example.com%3Fattach=/etc/passwd'
  only minimal applicationName=Minimal
  PICTURES="background_wide.jpg background_standard.jpg" only minimal_pictures applicationName=Minimal \
    backgroundImageWide=background_wide.jpg backgroundImageStandard=background_standard.jpg

  for name in huge title negative typo nokeys colours mail minimal minimal_pictures; do
    try_branding "$name"
  done
  exit $FAILURES
}

if [ -n "${LUMORA_E2E_WORK:-}" ]; then scenario; fi
failed=0
for size in 1280x1024 1024x768; do
  echo "== screen $size"
  run_in_xvfb scenario "$size" || failed=$((failed + 1))
done
[ $failed = 0 ] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed"
exit $failed
