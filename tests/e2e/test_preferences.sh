#!/usr/bin/env bash
# Edit > Preferences: choosing another calendar writes "caldef.dat" beside the program at
# once (the folder's name and a line end), and OK rebuilds the calendar window in the new
# branding's colours. The program runs from a copy with both sample brandings, so that the
# build folder's "caldef.dat" is left alone.
source "$(dirname "$0")/lib.sh"

# Pixels of exactly colour $2 (#RRGGBB) in screenshot $1. Day headers are drawn without
# smoothing, so the branding's day-header colour appears as it is.
colour_pixels() {
  convert "$1" -fill black +opaque "$2" -fill white -opaque "$2" -colorspace gray \
    -format '%[fx:round(mean*w*h)]' info:
}
hex() { printf '#%02X%02X%02X' $(tr ',' ' ' <<< "$1"); }
day_header() { sed -n 's/^dayHeaderColor=//p' "$BUILD_DIR/$1/calspc.dat" | tr -d '\r'; }

scenario() {
  failures=0
  bad() { echo "FAIL: $*"; failures=$((failures+1)); }
  standard=$(hex "$(day_header Standard)") tranquil=$(hex "$(day_header Tranquil)")
  [ "$standard" != "$tranquil" ] || { echo "FAIL: the sample brandings share their day-header colour"; exit 1; }
  app="$WORK/app" && mkdir -p "$app" && cp "$BIN" "$app/" && cp -r "$BUILD_DIR/Standard" "$BUILD_DIR/Tranquil" "$app/"
  mkdir -p "$HOME/.config" && printf '0;0;1' > "$HOME/.config/LMCalendar.prefs"
  "$app/lumora-calendar" & pid=$!
  win=$(wait_window '^Calendar$') || { echo "FAIL: no calendar window"; kill -9 $pid; exit 1; }
  sleep 1.5
  import -window root "$WORK/standard.png"
  [ "$(colour_pixels "$WORK/standard.png" "$standard")" -gt 50 ] && [ "$(colour_pixels "$WORK/standard.png" "$tranquil")" = 0 ] \
    && echo "ok: the calendar starts in Standard's colours" || bad "not in Standard's colours at start"

  # Edit > Preferences: the menu at the corner opens at Help; Left goes to Edit, whose last
  # enabled items are "Show Countdown Event" and, above it, "Preferences".
  open_menu "$(( $(geometry "$win" | cut -d' ' -f3) - 18 ))" Left Up Up Return
  prefs=$(wait_window '^Calendar Preferences$') || { echo "FAIL: no preferences window"; kill -9 $pid; exit 1; }
  echo "ok: Edit > Preferences opens the window"
  sleep 0.5
  read -r px py _ _ < <(geometry "$prefs")
  # The calendar pop-up at (34, 65), 240 x 20: open it, take the next entry (Tranquil).
  click $((px + 34 + 120)) $((py + 65 + 10))
  xdotool key Down; sleep 0.2; xdotool key Return; sleep 0.8
  tranquil_chosen() { printf 'Tranquil\n' | cmp -s - "$app/caldef.dat"; }
  if within tranquil_chosen; then echo "ok: caldef.dat holds \"Tranquil\" and a line end"
  else bad "caldef.dat holds '$(od -c "$app/caldef.dat" 2>&1 | head -n 2)'"; fi

  # OK (330, 163), 76 x 20: the window closes and the calendar is rebuilt in Tranquil's colours.
  click $((px + 330 + 38)) $((py + 163 + 10))
  for _ in $(seq 1 50); do xwininfo -id "$prefs" 2>/dev/null | grep -q IsViewable || break; sleep 0.1; done
  xwininfo -id "$prefs" 2>/dev/null | grep -q IsViewable && bad "the preferences window stays open after OK" \
    || echo "ok: OK closes the preferences window"
  new=""
  for _ in $(seq 1 100); do
    new=$(xdotool search --onlyvisible --name '^Calendar$' 2>/dev/null | grep -vx "$win" | head -n 1)
    [ -n "$new" ] && break; sleep 0.1
  done
  [ -n "$new" ] && echo "ok: OK rebuilds the calendar window" || bad "no new calendar window after OK"
  sleep 1.5
  import -window root "$WORK/tranquil.png"
  [ "$(colour_pixels "$WORK/tranquil.png" "$tranquil")" -gt 50 ] && [ "$(colour_pixels "$WORK/tranquil.png" "$standard")" = 0 ] \
    && echo "ok: the rebuilt calendar has Tranquil's colours" \
    || bad "rebuilt colours: $tranquil x $(colour_pixels "$WORK/tranquil.png" "$tranquil"), $standard x $(colour_pixels "$WORK/tranquil.png" "$standard")"

  [ -n "$new" ] && press "$new" ctrl+q || press "$win" ctrl+q
  wait_exit "$pid" || { bad "no quit"; kill -9 "$pid"; }
  exit $failures
}

run_scenario scenario
