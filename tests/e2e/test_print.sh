#!/usr/bin/env bash
# File > Print through the real print path: the page setup and print dialogs confirmed as
# they come (with no printer installed, Qt's print dialog offers its print-to-file printer,
# "print.pdf" in the home folder). The PDF has one page holding the window's picture whole,
# without today's red mark; the controls hidden for the picture come back afterwards.
source "$(dirname "$0")/lib.sh"

# Pixels of a picture whose red stands above its green and blue by more than a quarter:
# today's mark, also when scaling has blended it into the paper (the calendar's own colours
# stay below a twentieth).
# Counted as red minus green and red minus blue, each above a quarter (faster than -fx).
reddish() {
  convert "$1" -alpha off -channel RGB -separate +channel \
    \( -clone 0 -clone 1 -compose minus_src -composite -threshold 25% \) \
    \( -clone 0 -clone 2 -compose minus_src -composite -threshold 25% \) \
    -delete 0-2 -compose multiply -composite -format '%[fx:round(mean*w*h)]' info:
}
# Pixels that differ between two screenshots, leaving out the clock: its label (96 pixels
# wide, 129 from the right edge of the 1024-pixel design width, locked to the right) in the
# title band above the calendar area.
changed() {
  local clock="rectangle $((SCREEN_W - 129)),0 $((SCREEN_W - 129 + 95)),$((TITLE - 1))"
  convert "$1" -fill black -draw "$clock" "$WORK/a.png"
  convert "$2" -fill black -draw "$clock" "$WORK/b.png"
  compare -metric AE "$WORK/a.png" "$WORK/b.png" null: 2>&1 | cut -d' ' -f1
}

scenario() {
  failures=0
  bad() { echo "FAIL: $*"; failures=$((failures+1)); }
  mkdir -p "$HOME/.config" && printf '0;0;1' > "$HOME/.config/LMCalendar.prefs"
  "$BIN" & pid=$!
  win=$(wait_window '^Calendar$') || { echo "FAIL: no calendar window"; kill -9 $pid; exit 1; }
  sleep 1.5
  measure_year_view "$win" || bad "no year view"
  import -window root "$WORK/before.png"
  [ "$(reddish "$WORK/before.png")" -gt 10 ] && echo "ok: today's mark is on the screen" || bad "no red mark on the screen"

  press "$win" ctrl+p
  setup=$(wait_window '^Page Setup$') || bad "no page setup dialog"
  import -window root "$WORK/during.png"
  [ -n "$setup" ] && press "$setup" Return
  dialog=$(wait_window '^Print$') || bad "no print dialog"
  [ -n "$dialog" ] && press "$dialog" Return
  pdf="$HOME/print.pdf"
  for _ in $(seq 1 100); do [ -s "$pdf" ] && pdfinfo "$pdf" >/dev/null 2>&1 && break; sleep 0.1; done
  sleep 1
  import -window root "$WORK/after.png"

  pages=$(pdfinfo "$pdf" 2>/dev/null | awk '/^Pages:/{print $2}')
  [ "$pages" = 1 ] && echo "ok: one page printed to $pdf" || bad "pages: '$pages'"
  if [ -s "$pdf" ]; then
    pdftoppm -r 150 -png -singlefile "$pdf" "$WORK/page"
    read -r pw ph < <(convert "$WORK/page.png" -format '%w %h' info:)
    # The picture is whatever is not white paper; on this portrait page it is turned a
    # quarter, so its height is the window's width. Whole: the window's proportions, and
    # paper left on every side.
    read -r w h x y < <(convert "$WORK/page.png" -fuzz 3% -trim -format '%w %h %X %Y' info:)
    x=${x#+} y=${y#+}
    read -r _ _ sw sh < <(geometry "$win")
    awk -v w="$w" -v h="$h" -v sw="$sw" -v sh="$sh" 'BEGIN{r=h/w; e=sw/sh; exit !(r > e*0.98 && r < e*1.02)}' \
      && [ "$x" -gt 0 ] && [ "$y" -gt 0 ] && [ $((x + w)) -lt "$pw" ] && [ $((y + h)) -lt "$ph" ] \
      && echo "ok: the picture fits whole (${w}x${h} at $x,$y on ${pw}x${ph})" \
      || bad "picture ${w}x${h} at $x,$y on a ${pw}x${ph} page, window ${sw}x${sh}"
    red=$(reddish "$WORK/page.png")
    [ "$red" = 0 ] && echo "ok: no red mark on paper" || bad "red on paper: $red pixels"
  fi

  [ "$(changed "$WORK/before.png" "$WORK/during.png")" -gt 0 ] && echo "ok: controls hidden while printing" \
    || bad "nothing was hidden for printing"
  [ "$(changed "$WORK/before.png" "$WORK/after.png")" = 0 ] && echo "ok: the window is as before afterwards" \
    || bad "$(changed "$WORK/before.png" "$WORK/after.png") pixels differ after printing"

  press "$win" ctrl+q
  wait_exit "$pid" || { bad "no quit"; kill -9 "$pid"; }
  exit $failures
}

run_scenario scenario
