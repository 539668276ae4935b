#!/usr/bin/env bash
# "Start with Windows" in the tray menu writes the value "Zerenta" under the user's Run key with the
# quoted path of the running program, and removes it again; each time read with "reg query". Its
# check mark is read from the registry whenever the menu opens, so a change made there shows,
# Task Manager's switch for the value among it: switched off there, the item is unchecked, and
# choosing it clears that switch.
source "$(dirname "$0")/lib.sh"

run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
# The Run value as reg.exe shows it, or nothing when there is none.
run_value() {
  wine_tool reg query "$run_key" /v Zerenta 2>/dev/null | sed -n 's/^ *Zerenta *REG_SZ *//p'
}
reg_delete() {
  wine_tool reg delete "$run_key" /v Zerenta /f >/dev/null 2>&1
  wine_tool reg delete "$approved_key" /v Zerenta /f >/dev/null 2>&1
}
# Task Manager's switch for the value: its bytes in hex, or nothing when there is none.
approved_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run'
approved_value() {
  wine_tool reg query "$approved_key" /v Zerenta 2>/dev/null | sed -n 's/^ *Zerenta *REG_BINARY *//p'
}
set_approved() { wine_tool reg add "$approved_key" /v Zerenta /t REG_BINARY /d "$1" /f >/dev/null; }
# "checked" or "unchecked": the menu item's check mark, read from the program's open tray menu.
check_mark() {
  local items index detail
  items=$(tray_items) || { echo "no tray menu"; return 1; }
  index=$(awk '$0 == "Start with Windows" { print NR - 1; exit }' <<<"$items")
  [ -n "$index" ] || { tray_close; echo "no Start with Windows in $(tr '\n' '|' <<<"$items")"; return 1; }
  detail=$(driver "menu-item $index")
  tray_close
  case $detail in *flags=*checked*) echo checked ;; *) echo unchecked ;; esac
}
trap 'reg_delete; acc_cleanup' EXIT

program=$(wine_tool winepath -w "$work/Zerenta.exe")
want="\"$program\""
reg_delete
[ -z "$(run_value)" ] || abort "the Run value could not be removed before the journey"

start_app
[ "$(check_mark)" = unchecked ] || fail "the item is checked without a Run value"

for round in 1 2; do
  say "round $round: on"
  tray_choose 'Start with Windows' || { fail "round $round: no item to choose"; continue; }
  wait_for run_value "$want" || fail "round $round: the Run value after switching on"
  [ "$(check_mark)" = checked ] || fail "round $round: the item is not checked once the value is there"
  say "round $round: off"
  tray_choose 'Start with Windows' || { fail "round $round: no item to choose"; continue; }
  wait_for run_value "" || fail "round $round: the Run value stayed after switching off"
  [ "$(check_mark)" = unchecked ] || fail "round $round: the item is still checked"
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
