#!/usr/bin/env bash
# The Gamma tab end to end, with the acceptance journeys' helpers and probe; the X server's gamma
# ramp, read with tools/gammaread, is the outside witness. The system replacing the ramp (after a
# mode change, on resume, at unlock: an outside program writes the identity ramp and announces
# the event) has Zerenta put its own back within 1 s; after "Restore Screen" nothing of
# Zerenta's is in force, and the ramp another program writes then stays through those events.
# Then a hand-edited file with 250 gamma favourites: the tray numbers 100 items per page, so the
# gamma page offers its first 99 favourites and then "Reset default gamma", all under its own ids;
# choosing the last favourite and then the reset entry work, and the saver blocker's switch keeps
# its id.
# With ZR_SHOTS_DIR set, screenshots of the tab at the defaults and at a strong setting go there.
source "$(dirname "$0")/../../acceptance/lib.sh"

# The shown main dialog and the Gamma tab's page (the parent of the R slider) for the commands
# that follow.
PAGE='find exe=Zerenta.exe title=Zerenta class=#32770 visible=1
control 1016
parent
save page'
page() { printf '%s\n%s\n' "$PAGE" "$1" | driver -; }

# shot NAME [WxH]: the screen from the main dialog's top left corner (the dialog's own size by
# default; a larger one takes in a tooltip beside it).
shot() {
  [ -n "${ZR_SHOTS_DIR:-}" ] || return 0
  local x y w h
  read -r x y w h <<<"$(rect_of "find class=#32770 title=Zerenta" "rect")"
  screen_shot "$ZR_SHOTS_DIR/$1" "${2:-${w:-700}x${h:-420}}+${x:-0}+${y:-0}"
}

identity='red 0 257 32896 65535 / green 0 257 32896 65535 / blue 0 257 32896 65535'
# reset_page WHEN: the page's Reset button; the sliders and the server's ramp go back to the identity.
reset_page() {
  page $'click 1019\nuntil text 1024 == 50%\nuntil text 1025 == 50%' >/dev/null || fail "Reset $1"
  wait_for ramp "$identity" || fail "identity after Reset $1"
}
# Red at R = 70: exponent 1/3 gives 202 at entry 128 and 40 at entry 1.
red70='red 0 10280 51914 65535 / green 0 257 32896 65535 / blue 0 257 32896 65535'

# A start-up ramp other than the identity, in the 8-bit steps the device keeps exactly.
acctool setramp 90 || abort "could not set the start-up ramp"
start90=$(ramp)
[ "$start90" != "$identity" ] || abort "the start-up ramp did not change"
start_app
hwnd=$(show_main) || abort "main dialog did not show"
driver "find hwnd=$hwnd" "tab-select 1029 1" >/dev/null || abort "no Gamma tab"

say "defaults: labels, ranges, identity ramp sent at start"
out=$(page 'text 1024 == 50%
text 1025 == 50%
text 1026 == 50%
text 1023 == 0%
text 1029 == 100%
text 1033 == 255
text 1034 == 0
tb-range 1016 == "0 100"
tb-range 1015 == "-80 80"
tb-range 1022 == "80 120"
tb-range 1031 == "128 255"
tb-range 1032 == "0 127"
tb-range 1028 == "-50 50"
tb-pos 1028 == 0
lv-count 1036 == 0') || fail "defaults: $out"
wait_for ramp "$identity" || fail "the start-up ramp is not the identity"
shot gamma-page-default.png

say "dragging R to 70 changes the server's red ramp only"
out=$(page 'tb-set 1016 70
until text 1024 == 70%
tb-range 1028 == "-50 30"
tb-pos 1028 == 0') || fail "R slider: $out"
wait_for ramp "$red70" || fail "red ramp after R = 70"
# Each time from the moment the outside program has sent the event.
for event in displaychange resume unlock; do
  acctool systemreset "$event" || { fail "$event: the outside program failed"; continue; }
  out=$(wait_since "$(date +%s.%N)" 1 ramp "$red70") || fail "$event: the R = 70 ramp was not back within 1 s: $out"
done

say "linked slider +20 moves R, G and B together"
out=$(page 'tb-set 1028 20
until text 1025 == 70%
tb-pos 1016 == 90
tb-pos 1017 == 70
tb-pos 1018 == 70
text 1024 == 90%
text 1026 == 70%
tb-range 1028 == "-70 10"
tb-pos 1028 == 0') || fail "linked move: $out"
reset_page "after the linked move"

say "300 steps of R queued as a fast drag: the last one reaches the X server"
acctool burst 300 70 >/dev/null || fail "the steps could not be posted"
wait_for ramp "$red70" || fail "red ramp after the queued steps"
out=$(page 'until text 1024 == 70%
tb-pos 1016 == 70
tb-range 1028 == "-50 30"') || fail "after the queued steps: $out"
reset_page "after the queued steps"

say "Add, rename to Night, Apply writes the Item"
out=$(page 'tb-set 1016 40
tb-set 1017 45
tb-set 1018 50
until text 1025 == 45%
click 1020
until lv-count 1036 == 1
lv-text 1036 0 0 == NONAME
lv-text 1036 0 1 == "40,45,50"
lv-text 1036 0 2 == "0,100"
lv-text 1036 0 3 == "255,0"
control 1036
child class=Edit
settext . Night
send WM_KEYDOWN 13 0
use page
until lv-text 1036 0 0 == Night') || fail "add and rename: $out"
out=$(apply_settings) || fail "Apply: $out"
item='<Item R="40" G="45" B="50" Contrast="0" Brightness="100" HiClamping="255" LoClamping="0" >Night</Item>'
grep -qF "$item" "$setting" 2>/dev/null ||
  fail "settings file lacks the Night item: $(tr -d '\r' <"$setting" 2>/dev/null | grep -A3 '<Gamma')"
night_ramp=$(ramp)

say "the tray offers Night, which moves the sliders and the ramp"
reset_page "before the tray"
tray_choose 'Night\tRGB: 40, 45, 50  CrBr: 0, 100' || fail "tray menu lacks the Night favourite"
out=$(page 'until tb-pos 1016 == 40
tb-pos 1017 == 45
tb-pos 1018 == 50
until text 1025 == 45%') || fail "Night from the tray: $out"
wait_for ramp "$night_ramp" || fail "ramp after Night from the tray"
case "$night_ramp" in "$identity") fail "the Night ramp equals the identity" ;; esac
reset_page "after the tray's Night"

say "a refused ramp: sliders back, the indicator blinks three times, the server keeps the last ramp"
page 'tb-set 1016 70
until text 1024 == 70%' >/dev/null || fail "R = 70 before the refusal"
wait_for ramp "$red70" || fail "red ramp before the refusal"
out=$(page 'visible 1035 == 0
tb-set 1032 64
until tb-pos 1032 == 0
text 1034 == 0
text 1024 == 70%
timeout 6000
until visible 1035 == 1
until visible 1035 == 0
until visible 1035 == 1
until visible 1035 == 0
until visible 1035 == 1
rect 1035') || fail "refused ramp: $out"
# The third appearance stays for the hold time: the pointer resting on it brings up the tip.
read -r x y w h < <(sed -n 's/^ok rect "\([-0-9 ]*\)".*/\1/p' <<<"$out")
if [ -n "${x:-}" ]; then
  xdotool mousemove --sync $((x + w / 2 - 2)) $((y + h / 2 - 2)) mousemove $((x + w / 2)) $((y + h / 2)) >/dev/null 2>&1
  out=$(driver "wait exe=Zerenta.exe class=tooltips_class32 visible" \
               'text . == "Not every gamma combination is supported by your hardware."') ||
    fail "no tooltip on the indicator: $out"
  shot gamma-page-refused.png 1000x420
  xdotool mousemove 1000 900 >/dev/null 2>&1
else
  fail "no rectangle for the indicator: $out"
fi
out=$(page 'timeout 6000
until visible 1035 == 0') || fail "the indicator stayed: $out"
wait_for ramp "$red70" || fail "the server's ramp changed after the refusal"

say "Restore Screen returns the start-up ramp; another program's ramp then stays"
tray_choose 'Restore Screen\tCtrl + Alt + Enter' || fail "tray menu lacks Restore Screen"
wait_for ramp "$start90" || fail "Restore Screen did not return the start-up ramp"
for event in displaychange resume unlock; do
  acctool systemreset "$event" || { fail "$event: the outside program failed"; continue; }
  out=$(holds_for 1.5 ramp "$identity") || fail "$event: the outside program's ramp was replaced: $out"
done

if [ -n "${ZR_SHOTS_DIR:-}" ]; then
  # Wine accepts only ramps close to a power curve, so the strong setting uses the gamma sliders.
  out=$(page 'tb-set 1016 90
tb-set 1017 30
tb-set 1018 60
until text 1026 == 60%
text 1024 == 90%') || fail "strong setting for the screenshot: $out"
  shot gamma-page-strong.png
fi

say "250 gamma favourites: the first 99 and the reset entry in the tray, each with its own id"
stop_app
# Favourite n: red gamma 10 + n mod 80, the rest neutral.
red() { echo $((10 + $1 % 80)); }
{
  printf '%s\r\n' '<?xml version="1.0" encoding="utf-8"?>' '<Zerenta version="1.0.0.0" >' \
    $'\t<Gamma>' $'\t\t<Favourite_Gammas>'
  for n in $(seq 1 250); do
    printf '\t\t\t<Item R="%d" G="50" B="50" Contrast="0" Brightness="100" HiClamping="255" LoClamping="0" >Fav%03d</Item>\r\n' \
      "$(red "$n")" "$n"
  done
  printf '%s\r\n' $'\t\t</Favourite_Gammas>' $'\t</Gamma>'
  printf '</Zerenta>'
} >"$setting"
start_app
# The id and text of every entry, one a line: "id text".
listing=$(tray_entries | sed -n 's/^ok menu-item "\(.*\)" id=\([0-9]*\).*/\2 \1/p') || abort "no tray menu"

# In menu order, the ids from the gamma page's to the blocker's: the gamma page's 100, then the
# blocker's switch alone, with nothing under the calculator's ids between.
ids=$(awk '$1 >= 10100 && $1 <= 11000 { print $1 }' <<<"$listing" | tr '\n' ' ')
[ "$ids" = "$(seq -s ' ' 10100 10199) 10300 " ] || fail "the ids from 10100 to 11000 in menu order: $ids"
text_of() { awk -v id="$1" '$1 == id { sub(/^[0-9]+ /, ""); print }' <<<"$listing"; }
fav99=$(text_of 10198)
[ "${fav99%%\\t*}" = Fav099 ] || fail "id 10198 is '$fav99', wanted the 99th favourite"
[ "$(text_of 10199)" = "Reset default gamma" ] || fail "id 10199 is '$(text_of 10199)', wanted the reset entry"
[[ "$(text_of 10300)" == *"Saver Blocker is OFF"* ]] || fail "id 10300 is '$(text_of 10300)', wanted the blocker's switch"

hwnd=$(main_hwnd) || abort "no main dialog"
say "the 99th favourite sets its red gamma"
tray_choose "$fav99" || fail "choosing the 99th favourite"
out=$(driver "desktop" "child hwnd=$hwnd" "until tb-pos 1016 == $(red 99)") || fail "the 99th favourite was not applied: $out"
new_ramp >/dev/null || fail "the 99th favourite left the ramp as it was"

say "Reset default gamma puts back the neutral ramp"
tray_choose 'Reset default gamma' || fail "choosing the reset entry"
out=$(driver "desktop" "child hwnd=$hwnd" "until tb-pos 1016 == 50") || fail "the reset entry was not applied: $out"
wait_for ramp "$start_ramp" || fail "the reset entry did not restore the ramp"

finish
