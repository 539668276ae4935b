#!/usr/bin/env bash
# Favourites across a restart: a favourite mode and a favourite gamma made on the pages, applied,
# exit (Yes), start again; both are in the tray menu and choosing them changes the desktop size
# and the X server's ramp, and the menu then checks both as in force; Ctrl+Alt+Enter restores
# both and the menu checks neither; exit restores both again.
source "$(dirname "$0")/lib.sh"

mode_item='[4:3]\t800 x 600 32bpp 60Hz'
gamma_item='NONAME\tRGB: 40, 45, 50  CrBr: 0, 100'

start_app
hwnd=$(show_main) || abort "Configure did not show the main dialog"

say "a favourite mode on the Resolution tab"
rows=$(driver "find hwnd=$hwnd" "until lv-count 1036 > 0" "lv-rows 1036" |
       sed -n 's/^ok lv-rows "\(.*\)" count=.*$/\1/p' | sed 's/\\n/\n/g')
row=$(awk 'index($0, "800 x 600|32 bit|60 Hz") == 1 { print NR - 1; exit }' <<<"$rows")
[ -n "$row" ] || abort "no 800 x 600 32 bit 60 Hz row among the detected modes: $(head -5 <<<"$rows")"
out=$(driver "find hwnd=$hwnd" "lv-select 1036 $row" "click 1005" "until lv-count 1034 == 1") ||
  fail "adding the favourite mode: $out"

say "a favourite gamma on the Gamma tab"
out=$(driver "find hwnd=$hwnd" "tab-select 1029 1" "tb-set 1016 40" "tb-set 1017 45" "tb-set 1018 50" \
             "until text 1025 == 45%" "click 1020" "until lv-count 1036 == 1" "lv-text 1036 0 0 == NONAME") ||
  fail "adding the favourite gamma: $out"
# The page sets the ramp live: this is the favourite's ramp.
for i in $(seq 1 50); do fav_ramp=$(ramp); [ "$fav_ramp" != "$start_ramp" ] && break; sleep 0.1; done
[ "$fav_ramp" != "$start_ramp" ] || fail "the sliders did not change the server's ramp"
sleep 0.3
fav_ramp=$(ramp)
say "favourite ramp: $fav_ramp"

say "Apply, exit (Yes)"
out=$(driver "find hwnd=$hwnd" "click 1030") || fail "Apply: $out"
for i in $(seq 1 50); do grep -q 'LoClamping' "$setting" 2>/dev/null && grep -q 'refresh_rate' "$setting" && break; sleep 0.1; done
grep -q 'width="800" height="600" bpp="32" refresh_rate="60"' "$setting" 2>/dev/null ||
  fail "the settings file lacks the favourite mode: $(tr -d '\r' <"$setting" 2>/dev/null)"
grep -qF 'R="40" G="45" B="50" Contrast="0" Brightness="100" HiClamping="255" LoClamping="0" >NONAME</Item>' "$setting" 2>/dev/null ||
  fail "the settings file lacks the favourite gamma: $(tr -d '\r' <"$setting" 2>/dev/null)"
out=$(driver "find hwnd=$hwnd" "click 1" "wait title=Quiting visible" "click 6") || fail "exit question: $out"
wait_app_exit 20 || abort "the program did not end after Yes"
[ "$app_rc" = 0 ] || fail "exit code $app_rc"
wait_for ramp "$start_ramp" || fail "exit did not restore the start-up ramp"

say "start again: both favourites are in the tray menu"
start_app
items=$(tray_items) || abort "no tray menu after the restart"
tray_close
want=$'About Zerenta...\n-\nConfigure...\n-\n'"$mode_item"$'\n-\n'"$gamma_item"$'\nReset default gamma\n-\nSaver Blocker is OFF\\tClick to switch temporarily\n-\nRestore Screen\\tCtrl + Alt + Enter\nStart with Windows\nExit Zerenta\\tCtrl + Alt + Numpad 0'
[ "$items" = "$want" ] || fail "tray menu: $(tr '\n' '|' <<<"$items")"
checked=$(tray_checked) || fail "no tray menu for its check marks"
[ -z "$checked" ] || fail "with the start-up mode and ramp the tray menu checks: $(tr '\n' '|' <<<"$checked")"

choose_both() {
  tray_choose_mode "$mode_item" 800x600 || fail "$1: choosing the favourite mode and keeping 800x600"
  tray_choose "$gamma_item" || fail "$1: choosing the favourite gamma"
  wait_for ramp "$fav_ramp" || fail "$1: the ramp is not the favourite's"
  checked=$(tray_checked) || fail "$1: no tray menu for its check marks"
  [ "$checked" = "$mode_item"$'\n'"$gamma_item" ] || fail "$1: the tray menu checks: $(tr '\n' '|' <<<"$checked")"
  tray_shot
}

# With ZR_SHOTS_DIR: the tray menu with what is in force checked, from the menu to the screen's
# bottom right corner, where the tray icon is.
tray_shot() {
  [ -n "${ZR_SHOTS_DIR:-}" ] && [ ! -e "$ZR_SHOTS_DIR/tray-menu-checked.png" ] || return 0
  local x y w h sw sh
  tray_items >/dev/null || return 0
  read -r x y w h <<<"$(driver "find class=#32768 visible=1" "rect" | sed -n 's/^ok rect "\(.*\)".*/\1/p')"
  IFS=x read -r sw sh <<<"$(screen_size)"
  x=$((x > 20 ? x - 20 : 0)); y=$((y > 20 ? y - 20 : 0))
  import -window root -display "$DISPLAY" -crop "$((sw - x))x$((sh - y))+$x+$y" "$ZR_SHOTS_DIR/tray-menu-checked.png"
  tray_close
}
choose_both "first choice"

say "Ctrl+Alt+Enter restores both"
key_to_wine ctrl+alt+Return
wait_for screen_size "$start_screen" || fail "Ctrl+Alt+Enter did not restore the desktop size"
wait_for ramp "$start_ramp" || fail "Ctrl+Alt+Enter did not restore the ramp"
checked=$(tray_checked) || fail "no tray menu after Ctrl+Alt+Enter"
[ -z "$checked" ] || fail "after Ctrl+Alt+Enter the tray menu still checks: $(tr '\n' '|' <<<"$checked")"

say "exit through the tray menu restores both again"
choose_both "second choice"
tray_choose 'Exit Zerenta\tCtrl + Alt + Numpad 0' || fail "tray menu lacks Exit"
out=$(driver "wait title=Quiting visible" "click 6") || fail "exit question: $out"
wait_app_exit 20 || abort "the program did not end after Yes"
[ "$app_rc" = 0 ] || fail "exit code $app_rc"
wait_for screen_size "$start_screen" || fail "exit did not restore the desktop size"
wait_for ramp "$start_ramp" || fail "exit did not restore the ramp"
xg=$(xgamma -display "$DISPLAY" 2>&1)
grep -q 'Red  1.000, Green  1.000, Blue  1.000' <<<"$xg" || fail "xgamma after exit: $xg"

finish
