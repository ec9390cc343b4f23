#!/usr/bin/env bash
# Start-up, rebuild and micro-benchmarks; prints tables, judges nothing.
#
# Builds the calendar and the programs in bench/, writes events files of 0, 10,000 and
# 100,000 entries over the calendar's three years (bench/make_events.sh), and starts a bare
# Qt window that draws one line of text (the floor) and the calendar with each file under a
# virtual X screen of 1280 x 1024, RUNS times each (default 5), the cases interleaved. These
# run with only the DejaVu and Liberation fonts (a fonts.conf of the benchmark's own); the
# floor and the calendar with the empty file run again with the machine's fonts (a desktop's
# Noto fonts where installed), and the floor and the calendar with the empty and the
# 10,000-event file once more as on a desktop: the machine's fonts (Noto with CJK and colour
# emoji where installed) and a session bus of the benchmark's own (dbus-launch); the other
# cases run without a bus. For each case it prints the median time from start to the
# painted "Calendar" window, the median resident memory 1.5 s later, and the ratios to the
# floor and to the empty file with the same fonts. With the empty and the
# 100,000-event file the space key is then pressed, and a second table gives the median
# time from the key to the first drawing into the new "Calendar" window (the old window
# slides up first) and to the end of its slide down. Then come the micro-benchmarks.
# A start or rebuild not seen within TIMEOUT seconds (default 120) counts as "-".
#   RUNS=9 bash scripts/bench.sh
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)

if [ -z "${LUMORA_BENCH_INSIDE:-}" ]; then
  bash scripts/install-deps.sh
  bash scripts/build.sh
  [ -x build/bench/bench_startwatch ] || { echo "build/bench/bench_startwatch was not built (Xlib, Xdamage)"; exit 1; }
  LUMORA_BENCH_INSIDE=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi

RUNS=${RUNS:-5}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
CASES=(floor empty 10000 100000 floor-fonts empty-fonts floor-desktop empty-desktop 10000-desktop)
REBUILD_CASES=(empty 100000)
for n in 0 10000 100000; do
  bash bench/make_events.sh "$n" "$WORK/events-$n.tpc"
done

# Two font set-ups: the minimal fonts, the two folders the calendar's fonts come from, and
# the machine's own set-up. fontconfig writes what it learns of the fonts into the
# benchmark's folder, never into the system's caches (it reads those where they hold), and
# learns it before the first start: a start never waits for a scan of the fonts, even when
# another program leaves the system's caches out of date meanwhile.
MINIMAL_FONTS="$WORK/minimal-fonts.conf"
MACHINE_FONTS="$WORK/machine-fonts.conf"
cat > "$MINIMAL_FONTS" <<EOF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <dir>/usr/share/fonts/truetype/dejavu</dir>
  <dir>/usr/share/fonts/truetype/liberation2</dir>
  <cachedir>$WORK/fontcache</cachedir>
  <cachedir>/var/cache/fontconfig</cachedir>
</fontconfig>
EOF
cat > "$MACHINE_FONTS" <<EOF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <cachedir>$WORK/fontcache</cachedir>
  <include>${FONTCONFIG_FILE:-/etc/fonts/fonts.conf}</include>
</fontconfig>
EOF
minimal_count=$(FONTCONFIG_FILE="$MINIMAL_FONTS" fc-list | wc -l)
machine_count=$(FONTCONFIG_FILE="$MACHINE_FONTS" fc-list | wc -l)
cjk_count=$(FONTCONFIG_FILE="$MACHINE_FONTS" fc-list :lang=ja | wc -l)
emoji_count=$(FONTCONFIG_FILE="$MACHINE_FONTS" fc-list :color=true | wc -l)

# The desktop cases' session bus: one for the whole benchmark, as a desktop session has, on
# which Qt finds no global menu or tray host but the accessibility bus it asks for (started
# by the bus at the first start, as on a desktop). Ended with the benchmark.
BUS_ADDRESS=""
if command -v dbus-launch >/dev/null; then
  bus=$(env -u DBUS_SESSION_BUS_ADDRESS dbus-launch --sh-syntax)
  BUS_ADDRESS=$(sed -n "s/^DBUS_SESSION_BUS_ADDRESS='\(.*\)';\$/\1/p" <<< "$bus")
  BUS_PID=$(sed -n 's/^DBUS_SESSION_BUS_PID=\([0-9]*\);$/\1/p' <<< "$bus")
  trap 'kill "$BUS_PID" 2>/dev/null; rm -rf "$WORK"' EXIT
fi
[ -n "$BUS_ADDRESS" ] || { echo "no session bus for the desktop cases (dbus-launch, package dbus-x11)"; exit 1; }

# One start of case $1: a fresh home holding the preferences and the events file. Prints
# "ms kB", or "ms kB shown_ms done_ms" for a case whose rebuild is timed too.
start_once() {
  local home="$WORK/home" program=build/lumora-calendar file out rebuild=()
  rm -rf "$home"
  mkdir -p "$home/.config" "$home/Documents" "$home/tmp" "$home/run"
  chmod 700 "$home/run"
  printf '0;0;1' > "$home/.config/LMCalendar.prefs"
  case $1 in
    floor*) program=build/bench/bench_floor ;;
    empty*) file="$WORK/events-0.tpc" ;;
    *) file="$WORK/events-${1%%-*}.tpc" ;;
  esac
  # The machine's fonts for the "-fonts" and "-desktop" cases (those of a FONTCONFIG_FILE
  # given to the benchmark), the minimal ones for the others; the session bus for the
  # "-desktop" ones only.
  local fonts=$MINIMAL_FONTS bus=(-u DBUS_SESSION_BUS_ADDRESS)
  [[ $1 == *-fonts || $1 == *-desktop ]] && fonts=$MACHINE_FONTS
  [[ $1 == *-desktop ]] && bus=(DBUS_SESSION_BUS_ADDRESS="$BUS_ADDRESS")
  [ -n "${file:-}" ] && cp "$file" "$home/Documents/Calendar.tpc"
  [[ " ${REBUILD_CASES[*]} " == *" $1 "* ]] && rebuild=(--rebuild)
  out=$(env "${bus[@]}" FONTCONFIG_FILE="$fonts" HOME="$home" XDG_CONFIG_HOME="$home/.config" TMPDIR="$home/tmp" XDG_RUNTIME_DIR="$home/run" \
    build/bench/bench_startwatch "${rebuild[@]}" Calendar 1500 "${TIMEOUT:-120}" "$program" 2>/dev/null) || true
  echo "${out:-- -}"
}

declare -A MS RSS SHOWN DONE
for run in $(seq 1 "$RUNS"); do
  for c in "${CASES[@]}"; do
    read -r ms kb shown done < <(start_once "$c")
    MS[$c]+="$ms "
    RSS[$c]+="$kb "
    SHOWN[$c]+="${shown:--} "
    DONE[$c]+="${done:--} "
    echo "run $run/$RUNS  $c: ${ms} ms, ${kb} kB${shown:+, rebuild shown ${shown} ms, done ${done} ms}" >&2
  done
done

# The median of the numbers among the words read ("-" for a start that failed), or "-".
median() { tr ' ' '\n' | awk '/^[0-9.]+$/' | sort -g | awk '{v[NR]=$1} END{if(NR==0){print "-"; exit} if(NR%2) print v[(NR+1)/2]; else print (v[NR/2]+v[NR/2+1])/2}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN{if(a=="-"||b=="-"||b==0) print "-"; else printf "%.2fx", a/b}'; }

echo
echo "Start-up under Xvfb 1280x1024, median of $RUNS runs, $(nproc) cores ($(uname -m));"
echo "minimal fonts: DejaVu and Liberation ($minimal_count fonts); machine's fonts: $machine_count fonts;"
echo "desktop: the machine's fonts ($machine_count fonts, $cjk_count of them CJK, $emoji_count colour emoji) and a session bus"
printf '| %-42s | %8s | %8s | %9s | %9s |\n' "case" "ms" "RSS MB" "x floor" "x empty"
printf '|%s|%s|%s|%s|%s|\n' "--------------------------------------------" "----------" "----------" "-----------" "-----------"
for c in "${CASES[@]}"; do
  ms=$(echo "${MS[$c]}" | median)
  kb=$(echo "${RSS[$c]}" | median)
  mb=$(awk -v k="$kb" 'BEGIN{if(k=="-") print "-"; else printf "%.1f", k/1024}')
  fonts="" suffix=""
  [[ $c == *-fonts ]] && { fonts=-fonts; suffix=", machine's fonts"; }
  [[ $c == *-desktop ]] && { fonts=-desktop; suffix=", desktop"; }
  floor_ms=$(echo "${MS[floor$fonts]}" | median)
  empty_ms=$(echo "${MS[empty$fonts]}" | median)
  case $c in
    floor*) name="floor (Qt window + text)" ;;
    empty*) name="calendar, empty file" ;;
    *) name="calendar, ${c%%-*} events" ;;
  esac
  printf '| %-42s | %8s | %8s | %9s | %9s |\n' "$name$suffix" "$ms" "$mb" "$(ratio "$ms" "$floor_ms")" "$(ratio "$ms" "$empty_ms")"
done

echo
echo "Rebuild (space key), median of $RUNS runs: ms from the key to the new window's first drawing"
echo "(after the old window's slide up) and to the end of its slide down"
printf '| %-24s | %10s | %10s |\n' "case" "shown ms" "done ms"
printf '|%s|%s|%s|\n' "--------------------------" "------------" "------------"
for c in "${REBUILD_CASES[@]}"; do
  case $c in empty) name="calendar, empty file" ;; *) name="calendar, $c events" ;; esac
  printf '| %-24s | %10s | %10s |\n' "$name" "$(echo "${SHOWN[$c]}" | median)" "$(echo "${DONE[$c]}" | median)"
done

echo
echo "Micro-benchmarks (year view at 1920x1200, 0 and 10,000 entries; one week's grid with"
echo "100,000 entries in the store; saving and reading 100,000 events; the year view's runs"
echo "of 100,000 entries)"
mkdir -p "$WORK/run" && chmod 700 "$WORK/run"
HOME="$WORK" XDG_RUNTIME_DIR="$WORK/run" build/bench/bench_micro 2>&1 | grep -v "does not support raise"
