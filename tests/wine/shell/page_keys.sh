#!/usr/bin/env bash
# Keys typed into a page belong to that page. On the calculator, 1920, Tab, 1080 and Enter
# calculate 16 : 9 (Calculate is the page's default button); Enter and Esc in a control of every
# page neither hide the window nor write the settings file, which is what the main dialog's own
# default button ("Apply && Minimize") and Esc do. Real key presses through the X server.
#   page_keys.sh <win64 bin dir> <acctool.exe>
source "$(dirname "$0")/../../acceptance/lib.sh"

start_app
hwnd=$(show_main) || abort "Configure did not show the main dialog"
rm -f "$setting"

# click_in ID: a left click in the middle of the main dialog's visible control ID.
click_in() {
  local r x y w h
  r=$(driver "find hwnd=$hwnd" "rect $1" | sed -n 's/^ok rect "\([0-9-]*\) \([0-9-]*\) \([0-9]*\) \([0-9]*\)".*/\1 \2 \3 \4/p')
  read -r x y w h <<<"$r"
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

say "calculator: 1920 Tab 1080 Enter calculates"
driver "find hwnd=$hwnd" "tab-select 1029 2" >/dev/null || abort "no calculator tab"
click_in 1037 || abort "cannot click into Width"
key_to_wine 1 9 2 0 Tab 1 0 8 0 Return
out=$(driver "find hwnd=$hwnd" "until text 1040 == \"16 : 9\"" "text 1041 == \"1.778 : 1\"" \
             "lb-items 1034 == \"1920 : 1080 = 16 : 9 (1.778 : 1)\"") || fail "Enter did not calculate: $out"
still_shown "Enter in Width"

say "calculator: Esc in Width"
click_in 1037 || fail "cannot click into Width"
# A key after Esc whose effect shows proves that Esc has been handled.
key_to_wine Escape End 7
out=$(driver "find hwnd=$hwnd" "until text 1037 == 19207") || fail "typing after Esc: $out"
still_shown "Esc in Width"

# enter_esc_in WHAT TAB ID READ KEY EXPR: clicks control ID on tab TAB, reads it with READ as v,
# presses Enter, Esc and KEY; KEY then shows that both were handled, READ giving EXPR of v.
enter_esc_in() {
  local v out
  say "$1: Enter and Esc"
  driver "find hwnd=$hwnd" "tab-select 1029 $2" >/dev/null || { fail "no tab $2"; return; }
  click_in "$3" || { fail "cannot click on $1"; return; }
  v=$(read_value "$4" "$3")
  key_to_wine Return Escape "$5"
  out=$(driver "find hwnd=$hwnd" "until $4 $3 == $(($6))") || fail "$5 after Enter and Esc on $1: $out"
  still_shown "Enter and Esc on $1"
}
enter_esc_in "the mode list" 0 1036 lv-selected Down 'v + 1'
enter_esc_in "the red gamma slider" 1 1016 tb-pos Right 'v + 1'
enter_esc_in "the saver blocker's check box" 3 1006 checked space '1 - v'

finish
