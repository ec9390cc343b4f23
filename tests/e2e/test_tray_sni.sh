#!/usr/bin/env bash
# The tray icon under a StatusNotifier host, as most Linux desktops show tray icons: in a
# session bus of its own with a watcher and a host, the item registers; its menu is
# exported over DBusMenu with the open to-do items, and follows the mini calendar and the
# to-do list as they change, also for a host that never says it is about to show it; a
# host's ContextMenu call is answered while the menu it opens shows (at the pointer, its
# to-do items as they are), not held until the menu closes; choosing from the exported menu
# and Activate open and close the mini calendar at its place. The window's menu bar asks the
# bus for no global menu: the menus stay in the window.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/tray_lib.sh"

WATCHER=org.kde.StatusNotifierWatcher

watcher_property() {
  gdbus call --session -d $WATCHER -o /StatusNotifierWatcher \
    -m org.freedesktop.DBus.Properties.Get $WATCHER "$1" 2>/dev/null
}

# Waits up to $2 seconds for a command's output ($1, run through eval) to be non-empty.
wait_output() {
  local i out
  for i in $(seq 1 $(( $2 * 10 ))); do
    out=$(eval "$1") && [ -n "$out" ] && { echo "$out"; return 0; }
    sleep 0.1
  done
  return 1
}

registered_item() { watcher_property RegisteredStatusNotifierItems | grep -o "'[^']*'" | head -n 1 | tr -d "'"; }
item_call() { gdbus call --session -d "$ITEM_BUS" -o "$ITEM_PATH" -m "$@"; }
menu_call() { gdbus call --session -d "$ITEM_BUS" -o "$MENU_PATH" -m "com.canonical.dbusmenu.$1" "${@:2}"; }
layout() { menu_call GetLayout -- 0 -1 '@as []'; }
# The texts a host shows for the exported menu's entries, depth first, one a line
# (separators have none): a single "_" marks the mnemonic, "__" shows one "_".
menu_texts() {
  layout | grep -o "'label': <'[^']*'>" | sed "s/^'label': <'//; s/'>\$//; s/__/\x1/g; s/_//g; s/\x1/_/g"
}
# Waits for the exported menu's texts, joined with "|", to be $1; a host that reads the
# layout without calling AboutToShow sees them then.
menu_is() { [ "$(menu_texts | tr '\n' '|')" = "$1" ]; }
menu_becomes() { within menu_is "$1"; }
# The id of the exported entry labelled $1.
menu_id() { layout | grep -oE "\(([0-9]+), \{[^}]*'label': <'$1'>" | grep -oE '^\([0-9]+' | tr -d '('; }

# Starts a method call of the item ($@) in the background, its caller's process in CALL;
# call_answered then says whether its answer came, without an error.
item_call_in_background() { gdbus call --session -d "$ITEM_BUS" -o "$ITEM_PATH" -m "$@" >/dev/null 2>&1 & CALL=$!; }
call_answered() { ended $CALL && wait $CALL; }
# Waits up to $WAIT seconds until no visible program window has its top-left corner within 4
# pixels of $1,$2.
no_popup_at() { ! popup_at "$1" "$2" >/dev/null; }
wait_popup_gone() { within no_popup_at "$1" "$2"; }

# Waits up to $WAIT seconds for a visible program window whose top-left corner is within 4
# pixels of $1,$2 and which is not the mini calendar; prints "id x y w h".
wait_popup_at() { within popup_at "$1" "$2"; }

# The visible program window other than the mini calendar whose top-left corner is within
# 4 pixels of $1,$2, as "id x y w h".
popup_at() {
  local id x y w h
  while read -r id x y w h; do
    [ "$w" = "$MINI_W" ] && [ "$h" = "$MINI_H" ] && continue
    if [ $(( x - $1 )) -ge -4 ] && [ $(( x - $1 )) -le 4 ] && [ $(( y - $2 )) -ge -4 ] && [ $(( y - $2 )) -le 4 ]; then
      echo "$id $x $y $w $h"; return 0
    fi
  done < <(program_windows)
  return 1
}

# Qt's path for an item without a menu is "/NO_DBUSMENU".
is_menu_path() { [ -n "$1" ] && [ "$1" != /NO_DBUSMENU ]; }

scenario() {
  # A session bus of our own, so that no desktop's tray takes part.
  if [ -z "${LUMORA_E2E_BUS:-}" ]; then
    LUMORA_E2E_BUS=1 exec dbus-run-session -- bash "$0" "$BUILD_DIR"
  fi
  write_files
  trap 'kill $pid $host $watcher $monitor 2>/dev/null' EXIT
  pid= host= monitor=
  status-notifier-watcher >"$WORK/watcher.log" 2>&1 & watcher=$!
  wait_output "watcher_property ProtocolVersion" 10 >/dev/null || { echo "FAIL: no watcher"; exit 1; }
  NO_AT_BRIDGE=1 gtk-sni-tray-standalone --top >"$WORK/host.log" 2>&1 & host=$!
  wait_output "watcher_property IsStatusNotifierHostRegistered | grep true" 10 >/dev/null \
    || { echo "FAIL: the tray host did not register"; exit 1; }

  # What the program asks the bus itself, from before its start until its window shows: a
  # marker call of the test's own, once the monitor logs it, says the log holds everything
  # the bus took before it (the bus hands the monitor its messages in the order it takes them).
  dbus-monitor --session "type='method_call',destination='org.freedesktop.DBus'" >"$WORK/monitor.log" 2>&1 & monitor=$!
  marked() {
    gdbus call --session -d org.freedesktop.DBus -o /org/freedesktop/DBus -m org.freedesktop.DBus.NameHasOwner "$1" >/dev/null
    grep -q "\"$1\"" "$WORK/monitor.log"
  }
  within marked lumora.e2e.MonitorListens || { echo "FAIL: dbus-monitor logs nothing"; exit 1; }
  "$BIN" & pid=$!
  win=$(wait_window '^Calendar$') || { echo "FAIL: no calendar window"; exit 1; }
  check "the window's menu bar asks the bus for no global menu (com.canonical.AppMenu.Registrar)" \
    eval 'within marked lumora.e2e.WindowShown && ! grep -q com.canonical.AppMenu.Registrar "$WORK/monitor.log"'
  kill $monitor
  mini_calendar_place "$win"
  item=$(wait_output registered_item 10)
  check "the item registers with the watcher" [ -n "$item" ]
  # An entry is a bus name, or a bus name and an object path.
  ITEM_BUS=${item%%/*}
  ITEM_PATH=/StatusNotifierItem
  [ "$item" != "$ITEM_BUS" ] && ITEM_PATH=/${item#*/}

  MENU_PATH=$(item_call org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierItem Menu | grep -o "'[^']*'" | tr -d "'")
  check "the item exports its menu ($MENU_PATH)" is_menu_path "$MENU_PATH"
  labels=$(menu_texts | tr '\n' '|')
  check "the exported menu holds the entries and the open to-do items ($labels)" \
    [ "$labels" = "About Calendar|To Do Items|Buy milk|Tom & Jerry|q3_report & R&D|Show Mini Calendar|Preferences|" ]

  # ContextMenu: the menu shows at the pointer, and stays until Escape; the call's answer
  # comes meanwhile (one held until the menu closed would keep the host waiting).
  xdotool mousemove 400 300
  item_call_in_background org.kde.StatusNotifierItem.ContextMenu 400 300
  popup=$(wait_popup_at 400 300)
  check "the menu shows at the pointer" [ -n "$popup" ]
  check "the ContextMenu call is answered while the menu shows" within 20 call_answered
  check "the menu still shows then" eval 'popup_at 400 300 >/dev/null'
  xdotool key Down Down Right
  submenu=""
  for _ in $(seq 1 50); do
    submenu=$(program_windows | grep -v "^${popup%% *} " | grep -v " $MINI_W $MINI_H\$" | head -n 1)
    [ -n "$submenu" ] && break; sleep 0.1
  done
  read -r _ sx sy sw sh <<<"$submenu"
  texts=$([ -n "$submenu" ] && read_text "$sx" "$sy" "$sw" "$sh" | tr '\n' '|')
  check "its To Do Items lists the open to-do items as they are ($texts)" [ "$texts" = "Buy milk|Tom & Jerry|q3_report & R&D|" ]
  xdotool key Escape Escape
  check "Escape closes it" wait_popup_gone 400 300

  # Choosing "Show Mini Calendar" as a host does; then Activate closes and opens it.
  id=$(menu_id 'Show Mini Calendar')
  menu_call Event "${id:-0}" clicked '<int32 0>' 0 >/dev/null 2>&1
  check "choosing Show Mini Calendar in the exported menu opens the mini calendar" wait_mini_calendar shown
  OPEN_TODO="Buy milk|Tom & Jerry|q3_report & R&D|"
  check "the layout then offers to hide it, without AboutToShow" \
    menu_becomes "About Calendar|To Do Items|${OPEN_TODO}Hide Mini Calendar|Preferences|"
  menu_call AboutToShow 0 >/dev/null
  check "the exported menu then offers to hide it" grep -qx 'Hide Mini Calendar' < <(menu_texts)
  item_call_in_background org.kde.StatusNotifierItem.Activate 0 0
  check "an Activate call is answered" within 20 call_answered
  check "Activate closes the open mini calendar" wait_mini_calendar gone
  check "the layout then offers to show it" \
    menu_becomes "About Calendar|To Do Items|${OPEN_TODO}Show Mini Calendar|Preferences|"
  item_call org.kde.StatusNotifierItem.Activate 0 0 >/dev/null
  check "Activate opens the mini calendar, ${MINI_W} x ${MINI_H} at $MINI_X,$MINI_Y" wait_mini_calendar shown
  check "the layout then offers to hide it" \
    menu_becomes "About Calendar|To Do Items|${OPEN_TODO}Hide Mini Calendar|Preferences|"
  item_call org.kde.StatusNotifierItem.Activate 0 0 >/dev/null
  check "and a second Activate closes it" wait_mini_calendar gone

  # A to-do item added in the week at a glance is in the layout at once, and in the menu
  # when a host next shows it; a ticked or deleted item leaves it. The list's 19-pixel
  # rows start below its header, under the 60-pixel glance header and the month list.
  sleep 0.5
  measure_year_view "$win" || { fail "no calendar area borders found"; }
  click $YEAR_X $YEAR_Y
  LIST_TOP=$(( TITLE + 60 + 132 + 21 ))
  click $(( SCREEN_W - 168 + 60 )) $(( TITLE + 60 + 132 + 10 ))
  xdotool type --delay 20 "Call_Ann & Bob"; xdotool key Return
  check "an item added is in the layout without AboutToShow" \
    menu_becomes "About Calendar|To Do Items|${OPEN_TODO}Call_Ann & Bob|Show Mini Calendar|Preferences|"
  menu_call AboutToShow 0 >/dev/null
  labels=$(menu_texts | tr '\n' '|')
  check "an item added since is in the menu once it is about to show ($labels)" \
    [ "$labels" = "About Calendar|To Do Items|${OPEN_TODO}Call_Ann & Bob|Show Mini Calendar|Preferences|" ]
  click $(( SCREEN_W - 168 + 10 )) $(( LIST_TOP + 4 * 19 + 9 ))
  check "a ticked item leaves the layout" \
    menu_becomes "About Calendar|To Do Items|${OPEN_TODO}Show Mini Calendar|Preferences|"
  click $(( SCREEN_W - 10 )) $(( LIST_TOP + 9 ))
  check "a deleted item leaves it" \
    menu_becomes "About Calendar|To Do Items|Tom & Jerry|q3_report & R&D|Show Mini Calendar|Preferences|"
  # The rows are now the ticked "Paid the rent", "Tom & Jerry", "q3_report & R&D" and the
  # ticked "Call_Ann & Bob": the third row dragged onto the second's place goes above it.
  x=$(( SCREEN_W - 168 + 60 ))
  xdotool mousemove $x $(( LIST_TOP + 2 * 19 + 9 )) mousedown 1
  for dy in 6 12 18 24 28; do xdotool mousemove $x $(( LIST_TOP + 2 * 19 + 9 - dy )); sleep 0.05; done
  xdotool mouseup 1
  check "a dragged item moves in the layout" \
    menu_becomes "About Calendar|To Do Items|q3_report & R&D|Tom & Jerry|Show Mini Calendar|Preferences|"

  quit_with_ctrl_q "$win" "$pid"
  exit $FAILURES
}

run_scenario scenario
