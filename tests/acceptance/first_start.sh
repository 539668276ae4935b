#!/usr/bin/env bash
# First start without a settings file: the program starts into the tray (main dialog hidden,
# tray icon with its balloon, core window); Configure shows the dialog with its four tabs, Apply
# writes the three sections with empty lists and the blocker switch off; the close box hides and
# saves; the About box types the version.
# "Start with Windows" in the tray menu writes the value "Zerenta" under the user's Run key with
# the quoted path of the running program, and removes it again; each time read with "reg query".
# Its check mark is read from the registry whenever the menu opens, so a change made there shows,
# Task Manager's switch for the value among it: switched off there, the item is unchecked, and
# choosing it clears that switch.
source "$(dirname "$0")/lib.sh"

[ ! -e "$setting" ] || abort "the fresh folder already holds a settings file"
start_app

# The tray answers only after the dialog's initialisation, so the menu proves start-up is done.
items=$(tray_items) || abort "no tray menu after start-up"
configure=$(driver "menu-item 2")
tray_close
[[ "$configure" == *'"Configure..." id=32772 flags=default'* ]] || fail "Configure is not the default item: $configure"
want=$'About Zerenta...\n-\nConfigure...\n-\nSaver Blocker is OFF\\tClick to switch temporarily\n-\nRestore Screen\\tCtrl + Alt + Enter\nStart with Windows\nExit Zerenta\\tCtrl + Alt + Numpad 0'
[ "$items" = "$want" ] || fail "tray menu without favourites: $(tr '\n' '|' <<<"$items")"

say "the main dialog exists and stays hidden"
main=$(main_dialog) || abort "$main"
out=$(holds_for 1 main_visible 0) || fail "the main dialog is shown after start-up: $out"

say "the balloon"
# Wine's shell shows the balloon as a tooltip of explorer.exe with the balloon style. Its text is
# the program's; Wine 8 shows no title there, so the title "Zerenta" cannot be checked.
wait_balloon -x '1 [^|]*|Zerenta is running\.' ||
  fail "no visible balloon 'Zerenta is running.'; balloon tooltips: ${balloons:-none}"

no_boxes "at start-up"
out=$(driver "desktop" "find class=__Zerenta_Core_Class__") || fail "no core window: $out"

say "Configure, Apply"
hwnd=$(show_main) || abort "Configure did not show the main dialog"
out=$(driver "find hwnd=$hwnd" "tab-count 1029 == 4" "tab-text 1029 0 == Resolution" "tab-text 1029 1 == Gamma" \
  "tab-text 1029 2 == \"Aspect Ratio Calculator\"" "tab-text 1029 3 == \"Saver Blocker\"") || fail "the tabs: $out"
out=$(driver "find hwnd=$hwnd" "click 1030") || fail "Apply: $out"
within 5 test -s "$setting" || abort "Apply wrote no settings file"
sleep 0.3
# The three sections with empty lists, the question on, the switch off.
same_file "$setting" "$(expected_file first_start.Setting)" "the first settings file"

say "the close box hides and saves"
rm -f "$setting"
out=$(driver "find hwnd=$hwnd" "post WM_SYSCOMMAND 0xF060 0") || fail "close box: $out"
wait_main_visible 0 || fail "the close box did not hide the dialog"
within 3 test -s "$setting" || fail "the close box did not save"

say "the About box types its version"
acctool command 32771 || fail "cannot post About"
out=$(driver "wait title=\"About Zerenta\" visible" "sleep 1500" "texts ZerentaWnd3 ~= \"Version: 1.0.0.0\"" \
  "command 1" "wait title=\"About Zerenta\" gone") || fail "About: $out"
app_alive || fail "the program ended after the About box"

say "Start with Windows"
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
# reg_value KEY TYPE: the value Zerenta under KEY as reg.exe shows it, or nothing when there is none.
reg_value() { wine_tool reg query "$1" /v Zerenta 2>/dev/null | sed -n "s/^ *Zerenta *$2 *//p"; }
run_value() { reg_value "$run_key" REG_SZ; }
reg_delete() {
  wine_tool reg delete "$run_key" /v Zerenta /f >/dev/null 2>&1
  wine_tool reg delete "$approved_key" /v Zerenta /f >/dev/null 2>&1
}
# Task Manager's switch for the value: its bytes in hex.
approved_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run'
approved_value() { reg_value "$approved_key" REG_BINARY; }
set_approved() { wine_tool reg add "$approved_key" /v Zerenta /t REG_BINARY /d "$1" /f >/dev/null; }
# "checked" or "unchecked": the item's check mark, read from the program's open tray menu.
check_mark() {
  local checked
  checked=$(tray_checked) || { echo "no tray menu"; return 1; }
  grep -qx 'Start with Windows' <<<"$checked" && echo checked || echo unchecked
}
trap 'reg_delete; acc_cleanup' EXIT

want="\"$(wine_tool winepath -w "$work/Zerenta.exe")\""
reg_delete
[ -z "$(run_value)" ] || abort "the Run value could not be removed before the journey"
[ "$(check_mark)" = unchecked ] || fail "the item is checked without a Run value"

# Each switch: the Run value it leaves, then the check mark shown with it.
for row in "1 on|$want|checked" "1 off||unchecked" "2 on|$want|checked" "2 off||unchecked"; do
  IFS="|" read -r step value mark <<<"$row"
  say "round $step"
  tray_choose 'Start with Windows' || { fail "round $step: no item to choose"; continue; }
  wait_for run_value "$value" || fail "round $step: the Run value"
  [ "$(check_mark)" = "$mark" ] || fail "round $step: the item is not $mark with that value"
done

say "a value written elsewhere shows as checked; another program's path does not"
wine_tool reg add "$run_key" /v Zerenta /d "$want" /f >/dev/null || fail "reg add"
[ "$(check_mark)" = checked ] || fail "a Run value added with reg is not shown"
wine_tool reg add "$run_key" /v Zerenta /d '"C:\elsewhere\Zerenta.exe"' /f >/dev/null || fail "reg add"
[ "$(check_mark)" = unchecked ] || fail "another program's Run value is shown as this program's"
tray_choose 'Start with Windows' || fail "no item to choose"
wait_for run_value "$want" || fail "switching on did not put this program's path in place of the other"

say "Task Manager's switch: off (03, 07) shows unchecked, on (02, 06) checked"
for entry in 030000001779BD0117D9D101:unchecked 0700000071C933AE16D9D101:unchecked \
             060000000000000000000000:checked 020000000000000000000000:checked; do
  set_approved "${entry%:*}" || fail "reg add $approved_key"
  [ "$(check_mark)" = "${entry#*:}" ] || fail "with the switch ${entry%:*} the item is $(check_mark)"
done
say "choosing the item while switched off there clears that switch"
set_approved 030000001779BD0117D9D101
tray_choose 'Start with Windows' || fail "no item to choose"
wait_for approved_value "" || fail "switching on left Task Manager's switch off"
[ "$(run_value)" = "$want" ] || fail "switching on changed the Run value to $(run_value)"
[ "$(check_mark)" = checked ] || fail "the item is not checked once switched on"

finish
