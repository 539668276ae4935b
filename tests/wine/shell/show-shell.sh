#!/usr/bin/env bash
# End-to-end run of Zerenta.exe on the harness's display: start-up into the tray, the dialog and
# its tabs, Apply, close box and Esc, the tray menu, the About box, the restore hotkey and the exit
# confirmation. Needs the harness environment (DISPLAY, WINEPREFIX; tools/harness run -- ...).
#   show-shell.sh <bin dir> [screenshot dir]
set -uo pipefail
bin=$(cd "$1" && pwd)
shots=${2:-}
wine=${ZR_WINE:-/usr/lib/wine/wine64}
work=$(mktemp -d)
cp "$bin"/Zerenta.exe "$bin"/OrvelCore.dll "$bin"/Gorvane.dll "$bin"/Tessik.dll "$bin"/zdriver.exe "$bin"/zdrvhook.dll "$work"/
cd "$work"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
drive() { timeout 60 "$wine" ./zdriver.exe "$@" 2>&1; }
# The dialog is parked under a hidden window while in the tray: reach it from the desktop.
dlg=(desktop "child class=#32770 title=Zerenta")
# The ramp's red entry 128 as the X server holds it (tools/gammaread of the native tree): xgamma
# only reports the last gamma values set with it, not a ramp that a program wrote.
gammaread=${ZR_GAMMAREAD:-$(command -v gammaread || echo "$bin/../../native/tools/gammaread")}
ramp_mid() { "$gammaread" 128 | sed -n 's/^red //p'; }
identity=32896
shot() {  # shot <name>: the dialog's area of the screen
  [ -n "$shots" ] || return 0
  sleep 0.5
  import -window root -crop "$2" "$shots/$1.png" 2>/dev/null
}

xgamma -gamma 1.0 >/dev/null 2>&1
"$wine" ./Zerenta.exe &
pid=$!
trap 'kill $pid 2>/dev/null; rm -rf "$work"' EXIT

echo "== start: hidden, tray icon with its balloon, core window"
drive "timeout 15000" "${dlg[@]}" "visible == 0" "desktop" "find class=__Zerenta_Core_Class__" \
      "find class=Shell_TrayWnd" || fail start
# The balloon is drawn by the shell (its text is not a window text under Wine): look at the picture.
[ -n "$shots" ] && import -window root -crop 400x160+880+864 "$shots/balloon.png" 2>/dev/null

echo "== Configure shows the dialog with four tabs"
drive "${dlg[@]}" "command 32772" "until visible == 1" "tab-count 1029 == 4" "tab-text 1029 0 == Resolution" \
      "tab-text 1029 1 == Gamma" "tab-text 1029 2 == \"Aspect Ratio Calculator\"" "tab-text 1029 3 == \"Saver Blocker\"" \
      || fail configure
rect=$(drive "${dlg[@]}" "rect" | sed -n 's/^ok rect "\([0-9-]*\) \([0-9-]*\) \([0-9]*\) \([0-9]*\)".*/\3x\4+\1+\2/p')
for n in 0 1 2 3; do
  drive "${dlg[@]}" "tab-select 1029 $n" >/dev/null
  shot "tab$n" "$rect"
done
drive "${dlg[@]}" "tab-select 1029 0" >/dev/null

echo "== Apply writes the settings file"
rm -f Zerenta.Setting
drive "${dlg[@]}" "command 1030 send" >/dev/null
if [ -f Zerenta.Setting ]; then
  cat Zerenta.Setting; echo
  for section in Resolution Gamma Saver_Blocker; do
    grep -q "<$section" Zerenta.Setting || echo "note: no $section section (page not there yet?)"
  done
else
  fail "Apply wrote no settings file"
fi

echo "== a settings file that cannot be written is reported, and Apply && Minimize still hides"
rm -f Zerenta.Setting; mkdir Zerenta.Setting  # a directory in the file's place: the save must fail
drive "${dlg[@]}" "post WM_COMMAND 1030 0" "desktop" "wait class=#32770 \"title=Zerenta - Settings not saved\" visible=1" \
      "texts Static ~= Zerenta.Setting" "command 1" "wait class=#32770 \"title=Zerenta - Settings not saved\" gone" \
      || fail "failed Apply not reported"
drive "${dlg[@]}" "visible == 1" "post WM_COMMAND 2 0" "desktop" \
      "wait class=#32770 \"title=Zerenta - Settings not saved\" visible=1" "command 1" "${dlg[@]}" "until visible == 0" \
      || fail "failed Apply && Minimize not reported or not hidden"
rmdir Zerenta.Setting
drive "${dlg[@]}" "command 32772" "until visible == 1" >/dev/null

echo "== the close box hides and saves"
rm -f Zerenta.Setting
drive "${dlg[@]}" "post WM_SYSCOMMAND 0xF060 0" "until visible == 0" || fail "close box"
sleep 0.5; [ -f Zerenta.Setting ] || fail "close box did not save"
echo "== Esc on the dialog's own buttons hides and saves"
# Inside a page Esc is the page's; Shift+Tab from the calculator's first field leaves the page
# for the tab strip, a control of the dialog's own.
rm -f Zerenta.Setting
drive "${dlg[@]}" "command 32772" "until visible == 1" "foreground" "tab-select 1029 2" >/dev/null
read -r wl wt ww wh <<<"$(drive "${dlg[@]}" "rect 1037" | sed -n 's/^ok rect "\([0-9-]*\) \([0-9-]*\) \([0-9]*\) \([0-9]*\)".*/\1 \2 \3 \4/p')"
sleep 0.5; xdotool mousemove $((wl + ww / 2)) $((wt + wh / 2)) click 1 key shift+Tab Escape; sleep 1
drive "${dlg[@]}" "until visible == 0" || fail "Esc"
[ -f Zerenta.Setting ] || fail "Esc did not save"
drive "${dlg[@]}" "tab-select 1029 0" >/dev/null

echo "== the tray menu, item by item"
trayrect=$(drive "find class=Shell_TrayWnd" "rect" | sed -n 's/^ok rect "\(.*\)".*/\1/p')
read -r tl tt tw th <<<"$trayrect"
xdotool mousemove $((tl + tw - 10)) $((tt + th / 2)) click 3
out=$(drive "menu")
count=$(echo "$out" | sed -n 's/.* count=\([0-9]*\).*/\1/p')
items=(); for ((i = 0; i < ${count:-0}; i++)); do items+=("menu-item $i"); done
out="$out"$'\n'$(drive "${items[@]}")
echo "$out"
[ -n "$shots" ] && import -window root -crop 420x260+860+764 "$shots/traymenu.png" 2>/dev/null
drive "menu-close" >/dev/null
echo "$out" | grep -qF 'ok menu "About Zerenta...|-|Configure...|-|' || fail "tray menu head"
echo "$out" | grep -qF '|-|Restore Screen\tCtrl + Alt + Enter|Start with Windows|Exit Zerenta\tCtrl + Alt + Numpad 0"' || fail "tray menu tail"
echo "$out" | grep -qF '"Configure..." id=32772 flags=default' || fail "Configure is not the default item"
echo "$out" | grep -qF 'Saver Blocker is OFF\tClick to switch temporarily" id=10300' || fail "blocker item id"
# Every dynamic item carries 10000 + page * 100 + index, and no two separators follow each other.
echo "$out" | grep -q '|-|-|' && fail "empty page left a separator"

echo "== About box types its version text"
drive "${dlg[@]}" "post WM_COMMAND 32771 0" "desktop" "wait class=#32770 \"title=About Zerenta\" visible=1" "sleep 1500" \
      "texts ZerentaWnd3 ~= \"Version: 1.0.0.0\"" || fail about
arect=$(drive "wait class=#32770 \"title=About Zerenta\"" "rect" | sed -n 's/^ok rect "\([0-9-]*\) \([0-9-]*\) \([0-9]*\) \([0-9]*\)".*/\3x\4+\1+\2/p')
sleep 2.5; shot about "$arect"
drive "wait class=#32770 \"title=About Zerenta\"" "command 1" "wait class=#32770 \"title=About Zerenta\" gone" >/dev/null || fail "About OK"

echo "== Ctrl+Alt+Enter restores the start-up ramp"
xgamma -gamma 0.6 >/dev/null 2>&1
[ "$(ramp_mid)" != "$identity" ] || fail "could not change the ramp from outside"
xdotool key ctrl+alt+Return; sleep 1.5
[ "$(ramp_mid)" = "$identity" ] || fail "hotkey did not restore the ramp (red[128] $(ramp_mid))"

echo "== Exit: No leaves everything, Yes restores and ends with 0"
xgamma -gamma 0.6 >/dev/null 2>&1
drive "${dlg[@]}" "post WM_COMMAND 1 0" "desktop" "wait class=#32770 title=Quiting visible=1" \
      "texts Static ~= \"Do you really want to exit Zerenta?\"" "command 7" "wait class=#32770 title=Quiting gone" \
      || fail "exit No"
sleep 0.5; kill -0 $pid 2>/dev/null || fail "No ended the program"
[ "$(ramp_mid)" != "$identity" ] || fail "No changed the ramp"
drive "${dlg[@]}" "post WM_COMMAND 1 0" "desktop" "wait class=#32770 title=Quiting visible=1" "command 6" >/dev/null \
      || fail "exit Yes"
for i in $(seq 100); do kill -0 $pid 2>/dev/null || break; sleep 0.2; done
if kill -0 $pid 2>/dev/null; then fail "Yes did not end the program"; code=-1; else wait $pid; code=$?; fi
[ $code -eq 0 ] || fail "exit code $code"
[ "$(ramp_mid)" = "$identity" ] || fail "Yes did not restore the ramp"
trap 'rm -rf "$work"' EXIT
echo "== $failures failure(s)"
[ $failures -eq 0 ]
