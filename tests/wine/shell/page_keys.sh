#!/usr/bin/env bash
# The window by keyboard alone, real key presses through the X server. From the Resolution tab's
# strip: Tab into the mode list, Enter adds the mode to the favourites (a mode already there is
# selected instead of added again), Delete removes a favourite; Ctrl+Tab, Ctrl+Shift+Tab,
# Ctrl+Page Down and Ctrl+Page Up switch tabs, each newly shown tab with the focus on its first
# control that takes input (later on the control that had it); on the calculator 1920, Tab, 1080
# and Enter calculate 16 : 9 (Calculate is the page's default button); the arrow keys switch tabs
# from the tab strip; Alt with a letter reaches a page's control and the window's buttons.
# Enter and Esc in a control of every page neither hide the window nor write the settings file,
# which is what the main dialog's own default button ("Apply && Minimize") and Esc do.
# While the application picker is open the main dialog is hidden and disabled, and what still
# reaches it from outside - the tray menu's "Configure..." and "Exit Zerenta" and the exit hotkey
# Ctrl+Alt+Numpad 0 - neither shows it, nor asks to exit underneath the picker. Once the picker
# is closed the dialog is back, and the same hotkey asks again.
source "$(dirname "$0")/../../acceptance/lib.sh"

start_app
hwnd=$(show_main) || abort "Configure did not show the main dialog"
rm -f "$setting"

# click_in ID: a left click in the middle of the main dialog's visible control ID.
click_in() {
  local x y w h
  read -r x y w h <<<"$(rect_of "find hwnd=$hwnd" "rect $1")"
  [ -n "${h:-}" ] || { echo "no rectangle for control $1"; return 1; }
  timeout 5 xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 1
}

# read_value VERB ID: the value a driver read gives for the main dialog's control ID.
read_value() { driver "find hwnd=$hwnd" "$1 $2" | tail -1 | sed -n 's/^ok [a-z-]* "\([^"]*\)".*/\1/p'; }

# still_shown WHAT: the window is on screen and nothing was saved.
still_shown() {
  local out
  out=$(driver "find hwnd=$hwnd" "visible . == 1") || fail "$1 hid the window: $out"
  [ ! -e "$setting" ] || { fail "$1 wrote the settings file"; rm -f "$setting"; }
}

# keys_then KEYS... -- READS...: presses the keys, then waits for every driver read to hold.
keys_then() {
  local keys=() out
  while [ $# -gt 0 ] && [ "$1" != -- ]; do keys+=("$1"); shift; done
  shift
  key_to_wine "${keys[@]}"
  out=$(driver "find hwnd=$hwnd" "$@") || { fail "after ${keys[*]}: $(tail -1 <<<"$out")"; return 1; }
}

say "keys alone: Tab from the Resolution tab's strip into the mode list, where the mode in force is selected"
# The window may open behind whatever was active before: a click on its caption brings it to the
# front, as a user would, without moving the focus inside it.
read -r x y w h <<<"$(rect_of "find hwnd=$hwnd" "rect")"
timeout 5 xdotool mousemove $((x + w / 3)) $((y + 8)) click 1
out=$(driver "find hwnd=$hwnd" "focus == 1029" "tab-current 1029 == 0") || fail "the window opened elsewhere: $out"
keys_then Tab -- "until focus == 1036"
in_force=$(read_value lv-selected 1036)
row=$(driver "find hwnd=$hwnd" "lv-row 1036 ${in_force:--1}" | sed -n 's/^ok lv-row "\(.*\)"$/\1/p')
[[ "$row" == "${start_screen/x/ x }|32 bit|"* ]] || fail "the selected mode '$row' (row '$in_force') is not the desktop's $start_screen"
# The favourites list has a Hotkey column last, empty for a new favourite.
fav_row="$row|"

say "keys alone: Enter adds, Enter on a favourite mode selects it again, Delete removes"
keys_then Return -- "until lv-count 1034 == 1" "lv-row 1034 0 == \"$fav_row\"" "lv-selected 1034 == 0"
# The mode before it (the same size at 16 bit), then the mode in force once more: no second copy.
keys_then Up Return -- "until lv-count 1034 == 2" "until lv-selected 1034 == 0" "lv-row 1034 1 == \"$fav_row\""
keys_then Down Return -- "until lv-selected 1034 == 1" "lv-count 1034 == 2"
keys_then Tab -- "until focus == 1005"
keys_then Tab -- "until focus == 1034"
keys_then Delete -- "until lv-count 1034 == 1" "lv-row 1034 0 != \"$fav_row\""

say "keys alone: Ctrl+Tab to the Gamma tab's first slider and the calculator's Width field"
keys_then ctrl+Tab -- "until tab-current 1029 == 1" "until focus == 1016"
keys_then ctrl+Tab -- "until tab-current 1029 == 2" "until focus == 1037"
say "calculator: 1920 Tab 1080 Enter calculates"
keys_then 1 9 2 0 Tab 1 0 8 0 Return -- "until text 1040 == \"16 : 9\"" "text 1041 == \"1.778 : 1\"" \
  "lb-items 1034 == \"1920 : 1080 = 16 : 9 (1.778 : 1)\"" "focus == 1038"
still_shown "Enter in Height"

say "keys alone: Ctrl+Page Down, Ctrl+Tab round to the first tab, back with Ctrl+Shift+Tab and Ctrl+Page Up"
keys_then ctrl+Next -- "until tab-current 1029 == 3" "until focus == 1006"
# Each tab again has the focus where it was left.
keys_then ctrl+Tab -- "until tab-current 1029 == 0" "until focus == 1034"
keys_then ctrl+shift+Tab -- "until tab-current 1029 == 3" "until focus == 1006"
keys_then ctrl+Prior -- "until tab-current 1029 == 2" "until focus == 1038"
keys_then ctrl+Prior -- "until tab-current 1029 == 1" "until focus == 1016"

say "keys alone: the tab strip is a tab stop and its arrow keys switch tabs"
keys_then shift+Tab -- "until focus == 1029" "tab-current 1029 == 1"
keys_then Right -- "until tab-current 1029 == 2" "focus == 1029"
keys_then Left Left -- "until tab-current 1029 == 0" "focus == 1029"
say "keys alone: Alt+D, the mode list's label, reaches the list"
keys_then alt+d -- "until focus == 1036"
still_shown "the keyboard journey"

# enter_esc_in WHAT TAB ID READ EXPR KEYS...: clicks control ID on tab TAB, reads it with READ as
# v, presses Enter, Esc and KEYS; KEYS then show that both were handled, READ giving EXPR of v.
enter_esc_in() {
  local v out
  say "$1: Enter and Esc"
  driver "find hwnd=$hwnd" "tab-select 1029 $2" >/dev/null || { fail "no tab $2"; return; }
  click_in "$3" || { fail "cannot click on $1"; return; }
  v=$(read_value "$4" "$3")
  key_to_wine Return Escape "${@:6}"
  out=$(driver "find hwnd=$hwnd" "until $4 $3 == $(($5))") || fail "${*:6} after Enter and Esc on $1: $out"
  still_shown "Enter and Esc on $1"
}
# Enter in Width calculates again (Height still holds 1080).
enter_esc_in "the calculator's Width" 2 1037 text 'v * 10 + 7' End 7
enter_esc_in "the mode list" 0 1036 lv-selected 'v + 1' Down
enter_esc_in "the red gamma slider" 1 1016 tb-pos 'v + 1' Right
enter_esc_in "the saver blocker's check box" 3 1006 checked '1 - v' space

say "Alt+A from inside a page is the window's Apply"
click_in 1006 || fail "cannot click on the saver blocker's check box"
key_to_wine alt+a
within 5 test -e "$setting" || fail "Alt+A wrote no settings file"
out=$(driver "find hwnd=$hwnd" "visible . == 1") || fail "Alt+A hid the window: $out"

picker_sel='exe=Zerenta.exe class=#32770 "title=Pick an application"'
pickers() { acctool windows | grep -c ' #32770 "Pick an application"$'; }
quiting() { acctool windows | grep -c ' 1 #32770 "Quiting"$'; }

say "Pick App: the picker over the hidden main dialog"
out=$(driver "find hwnd=$hwnd" "tab-select 1029 3" "click 1014" "wait $picker_sel visible" \
             "find hwnd=$hwnd" "until visible . == 0") ||
  abort "Pick App did not bring up the picker over the hidden main dialog: $out"

# Posted after a command, Apply's save shows that the main dialog has handled that command.
handled_after() { rm -f "$setting" && apply_settings && [ -f "$setting" ]; }

say "tray menu: Configure..."
tray_choose 'Configure...' || fail "no Configure in the tray menu"
handled_after || fail "Configure: the main dialog did not go on"
out=$(driver "find hwnd=$hwnd" "visible . == 0") || fail "Configure showed the main dialog under the picker: $out"

say "tray menu: Exit Zerenta"
tray_choose 'Exit Zerenta\tCtrl + Alt + Numpad 0' || fail "no Exit in the tray menu"
handled_after || fail "Exit: the main dialog did not go on"
[ "$(quiting)" = 0 ] || { fail "the tray's Exit asked to exit underneath the picker"; driver "wait title=Quiting visible" "click 7" >/dev/null; }

say "Ctrl+Alt+Numpad 0"
# Ctrl+Alt+Enter right after it goes through the same hotkey thread into the same queue: once
# it has restored the ramp, the exit hotkey before it has been handled.
timeout 5 xgamma -display "$DISPLAY" -quiet -gamma 0.6
numlock_on
key_to_wine ctrl+alt+KP_0 ctrl+alt+Return
wait_for ramp "$start_ramp" || fail "Ctrl+Alt+Enter did not restore the ramp"
[ "$(quiting)" = 0 ] || { fail "the exit hotkey asked to exit underneath the picker"; driver "wait title=Quiting visible" "click 7" >/dev/null; }

[ "$(pickers)" = 1 ] || fail "$(pickers) pickers are open"
app_alive || abort "the program ended under the picker"

say "Cancel closes the picker; the dialog is back and the hotkey asks again"
out=$(driver "find $picker_sel" "click 2" "wait $picker_sel gone" "find hwnd=$hwnd" "until visible . == 1" \
             "enabled . == 1") || fail "after the picker: $out"
key_to_wine ctrl+alt+KP_0
out=$(driver "wait title=Quiting visible" "click 7" "wait title=Quiting gone") || fail "no exit question after the picker: $out"
app_alive || fail "No ended the program"

finish
