#!/usr/bin/env bash
# The Resolution and Aspect Ratio Calculator tabs end to end, with the acceptance journeys' helpers.
#   resolution_e2e.sh <bin dir of win64> <acctool.exe> [/directdraw]
# With /directdraw the program (and the core acctool counts the modes with) run on the DirectDraw
# back end instead of the default one. With ZR_SHOTS_DIR set, screenshots of both tabs go there.
source "$(dirname "$0")/../../acceptance/lib.sh"
app_args=("${@:3}")
case "${3:-}" in
  "") want_ddraw=absent ;;
  /directdraw) want_ddraw=loaded ;;
  *) abort "unknown back end argument $3" ;;
esac
dlg="wait class=#32770 title=Zerenta visible"
shot() { [ -z "${ZR_SHOTS_DIR:-}" ] || { sleep 0.5; import -window root -display "$DISPLAY" -crop 700x420+0+0 "$ZR_SHOTS_DIR/$1"; }; }

modes=$(acctool modes "${app_args[@]}")
say "the core reports $modes modes; the desktop is $start_screen"
[ "${modes:-0}" -gt 0 ] || fail "the core reported no modes"

start_app "${app_args[@]}"
hwnd=$(show_main) || abort "main dialog did not show"

say "the running program has the chosen back end: ddraw.dll $want_ddraw"
seen=$(acctool ddraw)
[ "$seen" = "$want_ddraw" ] || fail "ddraw.dll is '${seen:-unknown}' in the program, expected $want_ddraw"

say "the detected list holds every mode, with the ratio header as fourth column"
rows=$(lv_rows 1036 "until lv-count 1036 == $modes") || fail "the detected list's count is not $modes"
grep -qx '800 x 600|32 bit|60 Hz|4 : 3     1\.333 : 1' <<<"$rows" || fail "no 800 x 600 row with the 4 : 3 header"
row_of() { awk -v want="$1" 'index($0, want) == 1 { print NR - 1; exit }' <<<"$rows"; }
r1024=$(row_of "1024 x 768|32 bit|60 Hz")
r800=$(row_of "800 x 600|32 bit|60 Hz")

say "two favourites, Apply writes them sorted, the tray offers them"
driver "$dlg" "lv-select 1036 $r1024" "click 1005" "until lv-count 1034 == 1" \
       "lv-select 1036 $r800" "click 1005" "until lv-count 1034 == 2" "click 1030" >/dev/null || fail "adding two favourites"
within 10 grep -q 'refresh_rate' "$setting" 2>/dev/null
items=$(tr -d '\r' <"$setting" 2>/dev/null | grep -o '<Item [^>]*>' | sed 's| */>|/>|' | tr '\n' ' ')
expected='<Item width="800" height="600" bpp="32" refresh_rate="60"/> <Item width="1024" height="768" bpp="32" refresh_rate="60"/> '
[ "$items" = "$expected" ] || fail "settings file items: $items"
tray_choose_mode '[4:3]\t800 x 600 32bpp 60Hz' 800x600 || fail "the 800 x 600 favourite from the tray"
tray_choose 'Restore Screen\tCtrl + Alt + Enter' || fail "tray menu lacks Restore Screen"
wait_for screen_size "$start_screen" || fail "Restore Screen did not return to $start_screen"
if [ -n "${ZR_SHOTS_DIR:-}" ]; then
  show_main >/dev/null
  driver "$dlg" "foreground" "lv-select 1036 $r800" "lv-select 1034 0" >/dev/null
  shot resolution-page.png
fi

say "the calculator"
history=2
driver "$dlg" "tab-select 1029 2" "settext 1037 1920" "settext 1038 1080" "click 1039" \
       "until text 1040 == \"16 : 9\"" "text 1041 == \"1.778 : 1\"" "lb-item 1034 0 == \"1920 : 1080 = 16 : 9 (1.778 : 1)\"" \
       "settext 1037 0" "settext 1038 7" "click 1039" \
       "until text 1040 == \"1 : 7\"" "text 1041 == \"1 : 7.000\"" "text 1037 == 1" "lb-count 1034 == 2" \
       "lb-item 1034 0 == \"1 : 7 = 1 : 7 (1 : 7.000)\"" || fail "calculator results"
if [ -n "${ZR_SHOTS_DIR:-}" ]; then
  driver "$dlg" "settext 1037 1366" "settext 1038 768" "click 1039" "until lb-count 1034 == 3" >/dev/null
  shot calculator-page.png
  history=3
fi
driver "$dlg" "settext 1037 1280" "settext 1038 \"\"" "click 1039" \
       "wait class=#32770 title=Error visible" "texts Static ~= \"Please fill width and height to calculate.\"" \
       "click 1" "wait class=#32770 title=Error gone" \
       "$dlg" "text 1040 == \"\"" "text 1041 == \"\"" "lb-count 1034 == $history" || fail "empty height"

say "a favourite the adapter refuses, and 100 more favourites: the tray shows the first 100 only"
stop_app
extra='<Item width="1234" height="567" bpp="32" refresh_rate="60"/>'
for r in $(seq 1 100); do extra+="<Item width=\"640\" height=\"480\" bpp=\"32\" refresh_rate=\"$r\"/>"; done
sed -i "s|</Favourite_Resolutions>|$extra</Favourite_Resolutions>|" "$setting"
: >"$app_log"
app_winedebug=-all,warn+seh  # the debugger output goes to app.log
start_app "${app_args[@]}"
show_main >/dev/null || abort "main dialog did not show again"

say "the hidden test button writes the mode tree to the debugger output"
driver "$dlg" "click 1004" >/dev/null
groups=$(awk -F'|' '{ print $4 }' <<<"$rows" | sort -u | wc -l)
trace() { sed -n 's/^[0-9a-f]*:warn:seh:OutputDebugStringA "\(.*\)"$/\1/p' "$app_log" | tr -d '\r'; }
for i in $(seq 1 100); do [ "$(trace | grep -c -- '^------')" -ge "$modes" ] && break; sleep 0.1; done
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

driver "$dlg" "lv-count 1034 == 103" >/dev/null || fail "favourites list count"
items=$(tray_read) || fail "no tray menu"
[ "$(grep -c '^\[' <<<"$items")" = 100 ] || fail "the tray does not show exactly 100 favourites: $(tr '\n' '|' <<<"$items")"
tray_choose '[1234:567]\t1234 x 567 32bpp 60Hz' "wait class=#32770 title=\"Zerenta Warning\" visible" \
  "texts Static ~= \"Failed to change the display mode: 1234 x 567,32 bpp, @60 Hz.\"" "click 1" \
  "wait class=#32770 title=\"Zerenta Warning\" gone" || fail "no warning box for the refused mode"
wait_for screen_size "$start_screen" || fail "screen not restored after the refused mode"

finish
