#!/usr/bin/env bash
# End-to-end test of the Resolution and Aspect Ratio Calculator tabs: the program under wine64
# on the harness's display, driven by zdriver.exe.
# Usage: resolution_e2e.sh <bin dir of win64> [/directdraw]
# With /directdraw the program (and restool's core) run on the DirectDraw back end instead of the
# default one. With ZR_SHOTS_DIR set, screenshots of both tabs are written there.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../../.." && pwd)
if [ -z "${ZR_HARNESS:-}" ]; then
  exec "$top/tools/harness" run -- bash "$0" "$@"
fi
bin=$(cd "$1" && pwd)
app_args=("${@:2}")
case "${2:-}" in
  "") want_ddraw=absent ;;
  /directdraw) want_ddraw=loaded ;;
  *) echo "unknown back end argument $2"; exit 2 ;;
esac
tool_dir=$(dirname "$(find "$bin/.." -name restool.exe -print -quit 2>/dev/null)")
wine=${ZR_WINE:-/usr/lib/wine/wine64}
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
driver() { "$wine" "$bin/zdriver.exe" "$@"; }
restool() { "$wine" "$tool_dir/restool.exe" "$@" "${app_args[@]}" | tr -d '\r'; }

work=$(mktemp -d /tmp/zr-resolution-e2e.XXXXXX)
cp "$bin"/Zerenta.exe "$bin"/OrvelCore.dll "$bin"/Gorvane.dll "$bin"/Tessik.dll "$work"/
app_pid=""
# With an argument, the program's debugger output goes to that file (Wine's seh channel).
start_app() {
  if [ -n "${1:-}" ]; then
    (cd "$work" && WINEDEBUG=-all,warn+seh exec "$wine" ./Zerenta.exe "${app_args[@]}" 2>"$1") &
  else
    (cd "$work" && exec "$wine" ./Zerenta.exe "${app_args[@]}") &
  fi
  app_pid=$!
}
# The program asks before it exits; the test ends exactly the process it started instead.
stop_app() {
  [ -n "$app_pid" ] || return 0
  kill "$app_pid" 2>/dev/null
  for i in $(seq 1 30); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
  kill -KILL "$app_pid" 2>/dev/null
  wait "$app_pid" 2>/dev/null
  app_pid=""
}
cleanup() { stop_app; rm -rf "$work"; }
trap cleanup EXIT

# Waits until `restool screen` prints the expected size; prints what it saw on a timeout.
wait_screen() {
  local want=$1 seen="" i
  for i in $(seq 1 100); do
    seen=$(restool screen)
    [ "$seen" = "$want" ] && return 0
    sleep 0.1
  done
  echo "screen is $seen, expected $want"
  return 1
}

# Opens the tray menu and prints the index of the item with exactly this text (tab as \t).
tray_index() {
  local want=$1 menu
  restool traymenu >/dev/null || { echo "no tray window" >&2; return 1; }
  menu=$(driver "menu" | tr -d '\r')
  echo "$menu" >&2
  menu=${menu#ok menu \"}
  menu=${menu%%\"*}
  # The driver prints a tab as \t; ENVIRON keeps awk from turning the wanted \t into a tab.
  if ! WANT=$want awk 'BEGIN { RS = "|" } { sub(/\n$/, ""); if ($0 == ENVIRON["WANT"]) { print NR - 1; found = 1; exit } }
                       END { if (!found) exit 1 }' <<<"$menu"; then
    driver "menu-close" >/dev/null
    return 1
  fi
}

show_dialog() {
  local i
  for i in $(seq 1 100); do
    restool show && break
    sleep 0.1
  done
  driver "wait class=#32770 title=Zerenta visible"
}

start_screen=$(restool screen)
modes=$(restool modes)
echo "== the core reports $modes modes; the desktop is $start_screen"
[ "${modes:-0}" -gt 0 ] || fail "the core reported no modes"

start_app
show_dialog || fail "main dialog did not show"

echo "== the running program has the chosen back end: ddraw.dll $want_ddraw"
seen=$(restool ddraw)
[ "$seen" = "$want_ddraw" ] || fail "ddraw.dll is '${seen:-unknown}' in the program, expected $want_ddraw"

echo "== the detected list holds every mode, with the ratio header as fourth column"
listing=$(driver "wait class=#32770 title=Zerenta visible" "until lv-count 1036 == $modes" "lv-rows 1036" | tr -d '\r')
echo "$listing" | grep -q '^ok lv-count' || fail "detected list count is not $modes: $listing"
# lv-rows prints every row on one line, rows separated by \n and columns by |.
rows=$(echo "$listing" | sed -n 's/^ok lv-rows "\(.*\)" count=.*$/\1/p' | sed 's/\\n/\n/g')
echo "$rows" | head -3
echo "$rows" | grep -qx '800 x 600|32 bit|60 Hz|4 : 3     1\.333 : 1' || fail "no 800 x 600 row with the 4 : 3 header"
row_of() { echo "$rows" | awk -v want="$1" 'index($0, want) == 1 { print NR - 1; exit }'; }
r1024=$(row_of "1024 x 768|32 bit|60 Hz")
r800=$(row_of "800 x 600|32 bit|60 Hz")
echo "rows: 1024 x 768 at $r1024, 800 x 600 at $r800"

echo "== two favourites, Apply writes them sorted, the tray offers them"
driver "wait class=#32770 title=Zerenta visible" "lv-select 1036 $r1024" "click 1005" "until lv-count 1034 == 1" \
       "lv-select 1036 $r800" "click 1005" "until lv-count 1034 == 2" "click 1030" ||
  fail "adding two favourites"
for i in $(seq 1 100); do
  grep -q 'refresh_rate' "$work/Zerenta.Setting" 2>/dev/null && break
  sleep 0.1
done
items=$(tr -d '\r' <"$work/Zerenta.Setting" 2>/dev/null | grep -o '<Item [^>]*>' | sed 's| */>|/>|' | tr '\n' ' ')
expected='<Item width="800" height="600" bpp="32" refresh_rate="60"/> <Item width="1024" height="768" bpp="32" refresh_rate="60"/> '
[ "$items" = "$expected" ] || fail "settings file items: $items"

index=$(tray_index '[4:3]\t800 x 600 32bpp 60Hz') || fail "tray menu lacks the 800 x 600 favourite"
if [ -n "$index" ]; then
  driver "menu-choose $index" || fail "choosing the favourite"
  wait_screen 800x600 || fail "desktop did not switch to 800x600"
  # The new mode is put to the user; Keep, as a user who sees it does.
  driver "wait title=\"Zerenta - Display Mode\" visible" "click 1" "wait title=\"Zerenta - Display Mode\" gone" >/dev/null ||
    fail "no question after the switch to 800x600"
  index=$(tray_index 'Restore Screen\tCtrl + Alt + Enter') || fail "tray menu lacks Restore Screen"
  driver "menu-choose $index"
  wait_screen "$start_screen" || fail "Restore Screen did not return to $start_screen"
fi
if [ -n "${ZR_SHOTS_DIR:-}" ]; then
  show_dialog >/dev/null
  driver "wait class=#32770 title=Zerenta visible" "foreground" "lv-select 1036 $r800" "lv-select 1034 0" >/dev/null
  sleep 0.5
  import -window root -display "$DISPLAY" -crop 700x420+0+0 "$ZR_SHOTS_DIR/resolution-page.png"
fi

echo "== the calculator"
history=2
driver "wait class=#32770 title=Zerenta visible" "tab-select 1029 2" \
       "settext 1037 1920" "settext 1038 1080" "click 1039" \
       "until text 1040 == \"16 : 9\"" "text 1041 == \"1.778 : 1\"" "lb-item 1034 0 == \"1920 : 1080 = 16 : 9 (1.778 : 1)\"" \
       "settext 1037 0" "settext 1038 7" "click 1039" \
       "until text 1040 == \"1 : 7\"" "text 1041 == \"1 : 7.000\"" "text 1037 == 1" "lb-count 1034 == 2" \
       "lb-item 1034 0 == \"1 : 7 = 1 : 7 (1 : 7.000)\"" ||
  fail "calculator results"
if [ -n "${ZR_SHOTS_DIR:-}" ]; then
  driver "wait class=#32770 title=Zerenta visible" "settext 1037 1366" "settext 1038 768" "click 1039" \
         "until lb-count 1034 == 3" >/dev/null
  sleep 0.5
  import -window root -display "$DISPLAY" -crop 700x420+0+0 "$ZR_SHOTS_DIR/calculator-page.png"
  history=3
fi
driver "wait class=#32770 title=Zerenta visible" "settext 1037 1280" "settext 1038 \"\"" "click 1039" \
       "wait class=#32770 title=Error visible" "texts Static ~= \"Please fill width and height to calculate.\"" \
       "click 1" "wait class=#32770 title=Error gone" \
       "wait class=#32770 title=Zerenta visible" "text 1040 == \"\"" "text 1041 == \"\"" "lb-count 1034 == $history" ||
  fail "empty height"

echo "== a favourite the adapter refuses: warning box, then the screen is restored (after the tree check)"
stop_app
# A mode the adapter does not have, then 100 more favourites: the tray shows the first 100 only.
extra='<Item width="1234" height="567" bpp="32" refresh_rate="60"/>'
for r in $(seq 1 100); do extra+="<Item width=\"640\" height=\"480\" bpp=\"32\" refresh_rate=\"$r\"/>"; done
sed -i "s|</Favourite_Resolutions>|$extra</Favourite_Resolutions>|" "$work/Zerenta.Setting"
start_app "$work/debug.log"
show_dialog >/dev/null || fail "main dialog did not show again"

echo "== the hidden test button writes the mode tree to the debugger output"
driver "wait class=#32770 title=Zerenta visible" "click 1004" >/dev/null
groups=$(echo "$rows" | awk -F'|' '{ print $4 }' | sort -u | wc -l)
trace() { sed -n 's/^[0-9a-f]*:warn:seh:OutputDebugStringA "\(.*\)"$/\1/p' "$work/debug.log" | tr -d '\r'; }
for i in $(seq 1 100); do
  [ "$(trace | grep -c -- '^------')" -ge "$modes" ] && break
  sleep 0.1
done
lines=$(trace)
not_found=$(grep -cx 'NOT FOUND\\n' <<<"$lines")
found=$(grep -cx 'FOUND\\n' <<<"$lines")
[ "$not_found" = "$groups" ] && [ "$found" = $((modes - groups)) ] ||
  fail "tree building: $not_found NOT FOUND (expected $groups), $found FOUND (expected $((modes - groups)))"
grep -q 'Duplicated' <<<"$lines" && fail "a detected mode was reported as a duplicate"
dump=$(grep -E '^([0-9]+ : [0-9]+|--.*)\\n$' <<<"$lines" | tr '\n' ' ')
[[ "$dump" == '4 : 3\n --320 x 200\n'* || "$dump" == '4 : 3\n --320 x 240\n'* ]] ||
  fail "mode tree dump starts with: ${dump:0:80}"
[[ "$dump" == *'--800 x 600\n ----8 bpp\n ------60 Hz\n ----16 bpp\n ------60 Hz\n ----32 bpp\n ------60 Hz\n'* ]] ||
  fail "mode tree dump lacks 800 x 600 with its depths: ${dump:0:300}"

echo "== a favourite the adapter refuses (continued); 103 favourites, 100 in the tray"
driver "wait class=#32770 title=Zerenta visible" "lv-count 1034 == 103" || fail "favourites list count"
index=$(tray_index '[1234:567]\t1234 x 567 32bpp 60Hz') || fail "tray menu lacks the refused favourite"
menu=$(driver "menu" | tr -d '\r')
[ "$(grep -o '|\[' <<<"$menu" | wc -l)" = 100 ] || fail "tray does not show exactly 100 favourites: $menu"
if [ -n "$index" ]; then
  driver "menu-choose $index" "wait class=#32770 title=\"Zerenta Warning\" visible" \
         "texts Static ~= \"Failed to change the display mode: 1234 x 567,32 bpp, @60 Hz.\"" "click 1" \
         "wait class=#32770 title=\"Zerenta Warning\" gone" || fail "no warning box for the refused mode"
  wait_screen "$start_screen" || fail "screen not restored after the refused mode"
fi

stop_app
if [ $failures -eq 0 ]; then echo "resolution e2e: all passed"; else echo "resolution e2e: $failures failed"; fi
[ $failures -eq 0 ]
