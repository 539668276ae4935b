#!/usr/bin/env bash
# A hotkey on a favourite: a mode favourite and a gamma favourite each get one in the page's box
# (keys typed with xdotool); a combination another program holds, another favourite's and the
# program's own are refused in the box, which stays open; Apply keeps both hotkeys in the file
# and the tray shows them. After a restart each key applies its favourite as the tray item does
# (the mode with its question). A key another program holds at start-up is named in one
# balloon, stays in the file, and works after an Apply once it is free, that Apply writing the
# file of the first save back byte for byte.
source "$(dirname "$0")/lib.sh"

box='Zerenta - Hotkey'
mode_keyed="$fav_mode_item    Ctrl + Alt + 1"
gamma_keyed="$fav_gamma_item    Ctrl + Alt + 2"
# HKM_GETHOTKEY's and HKM_SETHOTKEY's word: HOTKEYF_CONTROL | HOTKEYF_ALT (6) over the key.
ctrl_alt() { printf '%d' $(( 0x600 + $(printf '%d' "'$1") )); }

# hold_key KEY: another program registers Ctrl+Alt+KEY until release.
hold_key() { hold holdkey 3 "$(printf '%d' "'$1")" 120; }

# open_box LIST BUTTON: the box for the first row of that favourites list.
open_box() { driver "find hwnd=$hwnd" "lv-select $1 0" "click $2" "wait title=\"$box\" visible" "control 1061"; }
# type_key KEY: Ctrl+Alt+KEY typed into the box's hotkey control, as a user does: a click into the
# control first, since a box may open behind whatever was active before.
type_key() {
  local x y w h
  read -r x y w h <<<"$(rect_of "wait title=\"$box\" visible" "control 1061" "rect .")"
  [ -n "$x" ] && timeout 5 xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 1
  key_to_wine "ctrl+alt+$1"
  driver "wait title=\"$box\" visible" "control 1061" "until send WM_USER+2 0 0 == $(ctrl_alt "$1")"
}
# press_set: Set, and the box's own words when it stays open.
press_set() { driver "wait title=\"$box\" visible" "click 1" "timeout 2000" "until text 1062 != \"\"" "text 1062"; }
problem() { sed -n 's/^ok text "\(.*\)"$/\1/p' | tail -1; }

use_settings two_favourites
start_app
hwnd=$(show_main) || abort "Configure did not show the main dialog"

say "the mode favourite gets Ctrl+Alt+1"
open_box 1034 1056 >/dev/null || abort "no hotkey box for the favourite mode"
type_key 1 >/dev/null || fail "Ctrl+Alt+1 did not reach the hotkey control"
out=$(driver "wait title=\"$box\" visible" "click 1" "wait title=\"$box\" gone" "find hwnd=$hwnd" "lv-row 1034 0") ||
  fail "Set with Ctrl+Alt+1: $out"
grep -q '^ok lv-row ".*|Ctrl+Alt+1\(|.*\)\{0,1\}"' <<<"$out" || fail "the favourites list shows: $(tail -1 <<<"$out")"

say "the gamma favourite: refused while taken, another favourite's or the program's own; then Ctrl+Alt+2"
out=$(driver "find hwnd=$hwnd" "tab-select 1029 1") || fail "the Gamma tab: $out"
hold_key 3
open_box 1036 1057 >/dev/null || abort "no hotkey box for the gamma favourite"
# A key another program holds never reaches the control; as one typed before it was taken:
driver "wait title=\"$box\" visible" "control 1061" "send WM_USER+1 $(ctrl_alt 3) 0" >/dev/null
seen=$(press_set | problem)
[ "$seen" = "Ctrl+Alt+3 is in use by another program." ] || fail "taken by another program, the box says '$seen'"
[ -n "${ZR_SHOTS_DIR:-}" ] && sleep 0.3 && import -window root -display "$DISPLAY" -crop 640x440+330+295 "$ZR_SHOTS_DIR/hotkey-box.png"
type_key 1 >/dev/null || fail "Ctrl+Alt+1 did not reach the hotkey control"
seen=$(press_set | problem)
[ "$seen" = "Ctrl+Alt+1 is already the hotkey of 800 x 600 32bpp 60Hz." ] || fail "another favourite's, the box says '$seen'"
driver "wait title=\"$box\" visible" "control 1061" "send WM_USER+1 $(( 0x60D )) 0" >/dev/null
seen=$(press_set | problem)
[ "$seen" = "Ctrl+Alt+Enter is Zerenta's own hotkey for Restore Screen." ] || fail "the program's own, the box says '$seen'"
type_key 2 >/dev/null || fail "Ctrl+Alt+2 did not reach the hotkey control"
out=$(driver "wait title=\"$box\" visible" "click 1" "wait title=\"$box\" gone" "find hwnd=$hwnd" "lv-text 1036 0 4") ||
  fail "Set with Ctrl+Alt+2: $out"
grep -q 'ok lv-text "Ctrl+Alt+2"' <<<"$out" || fail "the gamma list shows: $(tail -1 <<<"$out")"
release

say "Apply: the file keeps both, the tray shows both"
out=$(driver "find hwnd=$hwnd" "click 1030") || fail "Apply: $out"
within 5 grep -q 'Hotkey="Ctrl+Alt+2"' "$setting"
grep -q '<Item width="800" height="600" bpp="32" refresh_rate="60" hotkey="Ctrl+Alt+1" />' "$setting" ||
  fail "the file lacks the mode favourite's hotkey: $(tr -d '\r' <"$setting")"
grep -q 'LoClamping="0" Hotkey="Ctrl+Alt+2" >Dim</Item>' "$setting" ||
  fail "the file lacks the gamma favourite's hotkey: $(tr -d '\r' <"$setting")"
cp "$setting" "$work/keyed.Setting"
items=$(tray_read) || abort "no tray menu"
grep -qxF "$mode_keyed" <<<"$items" && grep -qxF "$gamma_keyed" <<<"$items" ||
  fail "the tray menu lacks the hotkeys: $(tr '\n' '|' <<<"$items")"

say "after a restart each key applies its favourite"
restart_app
checked=$(tray_checked) || abort "no tray menu after the restart"
[ -z "$checked" ] || fail "with the start-up mode and ramp the tray menu checks: $(tr '\n' '|' <<<"$checked")"
key_to_wine ctrl+alt+2
keyed_ramp=$(new_ramp) || fail "Ctrl+Alt+2 did not change the ramp"
settle_on 800x600
key_to_wine ctrl+alt+1
out=$(driver "${settle[@]}" "${keep_mode[@]}") ||
  fail "Ctrl+Alt+1 did not set 800x600 and ask: $(tail -1 <<<"$out")"
checked=$(tray_checked)
[ "$checked" = "$mode_keyed"$'\n'"$gamma_keyed" ] || fail "the tray menu checks: $(tr '\n' '|' <<<"$checked")"
key_to_wine ctrl+alt+Return
wait_for ramp "$start_ramp" || fail "Ctrl+Alt+Enter did not restore the ramp"
wait_for screen_size "$start_screen" || fail "Ctrl+Alt+Enter did not restore the desktop size"
checked=$(tray_checked)
[ -z "$checked" ] || fail "after Ctrl+Alt+Enter the tray menu still checks: $(tr '\n' '|' <<<"$checked")"
tray_choose "$gamma_keyed" || fail "the tray's gamma favourite"
wait_for ramp "$keyed_ramp" || fail "the tray item gives another ramp than the hotkey did"

say "a key taken at start-up: one balloon, the key stays, and works after Apply once free"
stop_app
restore_screen
hold_key 2
start_app
wait_balloon -F '"Dim": Ctrl+Alt+2' || fail "no balloon names the gamma favourite's key; balloons: ${balloons:-none}"
grep -qF '800 x 600' <<<"$balloons" && fail "the balloon names the mode favourite too: $balloons"
items=$(tray_read) || abort "no tray menu"
grep -qxF "$fav_gamma_item" <<<"$items" && grep -qxF "$mode_keyed" <<<"$items" ||
  fail "the tray shows a key that does not work, or lost one that does: $(tr '\n' '|' <<<"$items")"
release
hwnd=$(show_main) || abort "Configure did not show the main dialog"
driver "find hwnd=$hwnd" "click 1030" >/dev/null || fail "Apply with the key free"
sleep 0.5
same_file "$setting" "$work/keyed.Setting" "the file saved while the key was taken"
items=$(tray_read) || abort "no tray menu"
grep -qxF "$gamma_keyed" <<<"$items" || fail "the freed key does not work after Apply: $(tr '\n' '|' <<<"$items")"

finish
