#!/usr/bin/env bash
# While the application picker is open the main dialog is hidden and disabled, and what still
# reaches it from outside - the tray menu's "Configure..." and "Exit Zerenta" and the exit hotkey
# Ctrl+Alt+Numpad 0 - neither shows it, nor asks to exit underneath the picker. Once the picker
# is closed the dialog is back, and the same hotkey asks again.
#   picker_modal.sh <win64 bin dir> <acctool.exe>
source "$(dirname "$0")/../../acceptance/lib.sh"

picker_sel='exe=Zerenta.exe class=#32770 "title=Pick an application"'
pickers() { acctool windows | grep -c ' #32770 "Pick an application"$'; }
quiting() { acctool windows | grep -c ' 1 #32770 "Quiting"$'; }

start_app
hwnd=$(show_main) || abort "Configure did not show the main dialog"
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
