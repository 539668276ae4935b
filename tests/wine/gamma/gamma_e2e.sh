#!/usr/bin/env bash
# End-to-end test of the Gamma tab: the program under wine64 on the harness's display, driven by
# zdriver.exe; the X server's gamma ramp is read with tools/gammaread as an outside witness.
# Usage: gamma_e2e.sh <bin dir of win64> <gammatool.exe>
# With ZR_SHOTS_DIR set, screenshots of the tab at the defaults and at a strong setting are
# written there.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../../.." && pwd)
if [ -z "${ZR_HARNESS:-}" ]; then
  exec "$top/tools/harness" run -- bash "$0" "$@"
fi
bin=$(cd "$1" && pwd)
gammatool=$2
wine=${ZR_WINE:-/usr/lib/wine/wine64}
gammaread=${ZR_GAMMAREAD:-$top/build/native/tools/gammaread}
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
driver() { WINEDEBUG=-all "$wine" "$bin/zdriver.exe" "$@"; }

[ -x "$gammaread" ] || { echo "gammaread not found at $gammaread (build the native tree)"; exit 1; }

work=$(mktemp -d /tmp/zr-gamma-e2e.XXXXXX)
cp "$bin"/Zerenta.exe "$bin"/OrvelCore.dll "$bin"/Gorvane.dll "$bin"/Tessik.dll "$work"/
app_pid=""
start_app() { (cd "$work" && WINEDEBUG=-all exec "$wine" ./Zerenta.exe >/dev/null 2>&1) & app_pid=$!; }
# The program asks before it exits; the test ends exactly the process it started instead.
stop_app() {
  [ -n "$app_pid" ] || return 0
  kill "$app_pid" 2>/dev/null
  for i in $(seq 1 50); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
  kill -KILL "$app_pid" 2>/dev/null
  wait "$app_pid" 2>/dev/null
  app_pid=""
}
cleanup() {
  stop_app
  xgamma -display "$DISPLAY" -gamma 1 >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT

# ramp INDEX...: "red a b / green ... / blue ..." as one line of the server's 16-bit entries.
ramp() { "$gammaread" "$@" | sed -n '2,4p' | tr '\n' '/' | sed 's|/$||; s|/| / |g'; }

# wait_ramp WANT INDEX...: waits (bounded) until the server's ramp at those indexes reads WANT.
wait_ramp() {
  local want=$1 seen="" i
  shift
  for i in $(seq 1 50); do
    seen=$(ramp "$@")
    [ "$seen" = "$want" ] && return 0
    sleep 0.1
  done
  echo "ramp is '$seen', expected '$want'"
  return 1
}

# The main dialog (hidden in the tray under an invisible window at start) shown on the Gamma tab;
# "page" then names the tab's page dialog for the commands that follow.
PAGE='find exe=Zerenta.exe title=Zerenta class=#32770 visible=1
save main
control 1016
parent
save page'
show_gamma() {
  local i out
  # The program has two windows of that class and the dialog appears under one of them during
  # start-up: look again until it is there.
  for i in $(seq 1 40); do
    out=$(driver - <<'DRV'
timeout 500
wait exe=Zerenta.exe class=ZerentaWnd0 title=
child title=Zerenta class=#32770
timeout 10000
command 32772
wait exe=Zerenta.exe title=Zerenta class=#32770 visible
tab-select 1029 1
DRV
) && return 0
    driver "find exe=Zerenta.exe title=Zerenta class=#32770 visible=1" "tab-select 1029 1" >/dev/null 2>&1 && return 0
    sleep 0.25
  done
  echo "$out"
  return 1
}
page() { printf '%s\n%s\n' "$PAGE" "$1" | driver -; }

# tray_choose TEXT: opens the tray menu and chooses the item with exactly this text (a tab
# written as \t); prints the menu when the item is missing.
tray_choose() {
  local out
  WINEDEBUG=-all "$wine" "$gammatool" traymenu >/dev/null || { echo "no tray window"; return 1; }
  out=$(driver "menu-choose \"$1\"") && return 0
  echo "$out"
  driver "menu-close" >/dev/null
  return 1
}

# shot NAME [WxH]: the screen from the main dialog's top left corner (the dialog's own size by
# default; a larger one takes in a tooltip beside it).
shot() {
  [ -n "${ZR_SHOTS_DIR:-}" ] || return 0
  sleep 0.5
  local x y w h
  read -r x y w h <<<"$(driver "find class=#32770 title=Zerenta" "rect" | tr -d '\r' |
                        sed -n 's/^ok rect "\([0-9-]*\) \([0-9-]*\) \([0-9]*\) \([0-9]*\)".*/\1 \2 \3 \4/p')"
  import -window root -display "$DISPLAY" -crop "${2:-${w:-700}x${h:-420}}+${x:-0}+${y:-0}" "$ZR_SHOTS_DIR/$1"
}

identity='red 0 257 32896 65535 / green 0 257 32896 65535 / blue 0 257 32896 65535'
# Red at R = 70: exponent 1/3 gives 202 at entry 128 and 40 at entry 1.
red70='red 0 10280 51914 65535 / green 0 257 32896 65535 / blue 0 257 32896 65535'

xgamma -display "$DISPLAY" -gamma 1 >/dev/null 2>&1
start_ramp=$(ramp 0 1 128 255)
echo "== start-up ramp: $start_ramp"

start_app
show_gamma >/dev/null || { fail "main dialog did not show on the Gamma tab"; exit 1; }

echo "== defaults: labels, ranges, identity ramp sent at start"
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
wait_ramp "$identity" 0 1 128 255 || fail "the start-up ramp is not the identity"
shot gamma-page-default.png

echo "== dragging R to 70 changes the server's red ramp only"
out=$(page 'tb-set 1016 70
until text 1024 == 70%
tb-range 1028 == "-50 30"
tb-pos 1028 == 0') || fail "R slider: $out"
wait_ramp "$red70" 0 1 128 255 || fail "red ramp after R = 70"

echo "== linked slider +20 moves R, G and B together"
out=$(page 'tb-set 1028 20
until text 1025 == 70%
tb-pos 1016 == 90
tb-pos 1017 == 70
tb-pos 1018 == 70
text 1024 == 90%
text 1026 == 70%
tb-range 1028 == "-70 10"
tb-pos 1028 == 0') || fail "linked move: $out"
page 'click 1019
until text 1024 == 50%' >/dev/null || fail "Reset"
wait_ramp "$identity" 0 1 128 255 || fail "identity after Reset"

echo "== 300 steps of R queued as a fast drag: the last one reaches the X server"
WINEDEBUG=-all "$wine" "$gammatool" burst 300 70 >/dev/null || fail "the steps could not be posted"
wait_ramp "$red70" 0 1 128 255 || fail "red ramp after the queued steps"
out=$(page 'until text 1024 == 70%
tb-pos 1016 == 70
tb-range 1028 == "-50 30"') || fail "after the queued steps: $out"
page 'click 1019
until text 1024 == 50%' >/dev/null || fail "Reset after the queued steps"
wait_ramp "$identity" 0 1 128 255 || fail "identity after Reset"

echo "== Add, rename to Night, Apply writes the Item"
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
until lv-text 1036 0 0 == Night
use main
click 1030') || fail "add and rename: $out"
item='<Item R="40" G="45" B="50" Contrast="0" Brightness="100" HiClamping="255" LoClamping="0" >Night</Item>'
for i in $(seq 1 100); do
  grep -qF "$item" "$work/Zerenta.Setting" 2>/dev/null && break
  sleep 0.1
done
grep -qF "$item" "$work/Zerenta.Setting" 2>/dev/null ||
  fail "settings file lacks the Night item: $(tr -d '\r' <"$work/Zerenta.Setting" 2>/dev/null | grep -A3 '<Gamma')"
night_ramp=$(ramp 0 1 128 255)
echo "   ramp at Night: $night_ramp"

echo "== the tray offers Night and the reset; both move the sliders and the ramp"
page 'click 1019
until text 1024 == 50%' >/dev/null || fail "Reset before the tray"
wait_ramp "$identity" 0 1 128 255 || fail "identity after Reset"
tray_choose 'Night\tRGB: 40, 45, 50  CrBr: 0, 100' || fail "tray menu lacks the Night favourite"
out=$(page 'until tb-pos 1016 == 40
tb-pos 1017 == 45
tb-pos 1018 == 50
until text 1025 == 45%') || fail "Night from the tray: $out"
wait_ramp "$night_ramp" 0 1 128 255 || fail "ramp after Night from the tray"
case "$night_ramp" in "$identity") fail "the Night ramp equals the identity" ;; esac
tray_choose 'Reset default gamma' || fail "tray menu lacks the reset entry"
out=$(page 'until tb-pos 1016 == 50
tb-pos 1017 == 50
until text 1025 == 50%') || fail "reset from the tray: $out"
wait_ramp "$identity" 0 1 128 255 || fail "identity after the tray reset"

echo "== a refused ramp: sliders back, the indicator blinks three times, the server keeps the last ramp"
page 'tb-set 1016 70
until text 1024 == 70%' >/dev/null || fail "R = 70 before the refusal"
wait_ramp "$red70" 0 1 128 255 || fail "red ramp before the refusal"
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
read -r x y w h < <(echo "$out" | sed -n 's/^ok rect "\([0-9-]*\) \([0-9-]*\) \([0-9]*\) \([0-9]*\)".*/\1 \2 \3 \4/p')
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
wait_ramp "$red70" 0 1 128 255 || fail "the server's ramp changed after the refusal"

echo "== Restore Screen returns the start-up ramp"
tray_choose 'Restore Screen\tCtrl + Alt + Enter' || fail "tray menu lacks Restore Screen"
wait_ramp "$start_ramp" 0 1 128 255 || fail "Restore Screen did not return the start-up ramp"

if [ -n "${ZR_SHOTS_DIR:-}" ]; then
  # Wine accepts only ramps close to a power curve, so the strong setting uses the gamma sliders.
  out=$(page 'tb-set 1016 90
tb-set 1017 30
tb-set 1018 60
until text 1026 == 60%
text 1024 == 90%') || fail "strong setting for the screenshot: $out"
  shot gamma-page-strong.png
fi

stop_app
if [ $failures -eq 0 ]; then echo "gamma e2e: all passed"; else echo "gamma e2e: $failures failed"; fi
[ $failures -eq 0 ]
