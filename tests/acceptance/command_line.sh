#!/usr/bin/env bash
# The command line. With Zerenta running: /mode sets a mode with code 0 and no question, /gamma
# writes the favourite's ramp (the one its tray item writes), /restore puts back the start-up
# ramp and mode, an unknown mode ends with 3 and changes nothing, a malformed one with 1 and a
# message, /list > file lists the primary display's modes and the favourites, a box of the
# program's own makes /mode and /exit end with 4, letter case does not matter, and /exit ends the
# running copy with the screen restored. With none running,
# /mode /directdraw leaves exactly one Zerenta in the tray, on DirectDraw, with the mode set, and
# Ctrl+Alt+Enter restores it; /list reads what it lists itself and starts nothing.
source "$(dirname "$0")/lib.sh"

[ "$start_screen" = 1280x1024 ] || abort "the journey expects a 1280x1024 desktop, not $start_screen"
night_item='Night\tRGB: 35, 40, 45  CrBr: 0, 100'
use_settings command_line

# list_has WHAT LINE...: Zerenta.exe /list > file ends with 0 and the file holds these lines.
list_has() {
  local line
  zerenta /list
  [ "$rc" = 0 ] || fail "/list $1 ended with $rc"
  for line in "${@:2}"; do
    grep -qxF -- "$line" <<<"$out" || fail "/list $1 lacks '$line': $(head -3 <<<"$out")..."
  done
}
# The copy a command started is no child of the journey: it is ended by its own /exit.
started_copy=0
trap '[ "$started_copy" = 1 ] && zerenta /exit; acc_cleanup' EXIT

start_app
tray_read >/dev/null || abort "no tray menu: the program did not start"

say "/mode 800x600: code 0, the mode, no question"
ends_with 0 /mode 800x600
wait_for screen_size 800x600 || fail "/mode 800x600 did not change the mode"
no_boxes "after /mode" 3

say "/gamma \"Night\": the favourite's ramp"
ends_with 0 /gamma "Night"
night=$(new_ramp) || fail "/gamma Night left the ramp as it was"

say "/restore: the start-up ramp and mode"
ends_with 0 /Restore
wait_for ramp "$start_ramp" || fail "/restore did not put back the ramp"
wait_for screen_size "$start_screen" || fail "/restore did not put back the mode"
tray_choose "$night_item" || fail "the tray's Night"
wait_for ramp "$night" || fail "the tray's Night gives another ramp than /gamma Night did"

say "/mode 1234x567 ends with 3 and changes nothing; /mode banana with 1"
ends_with 3 /mode 1234x567
[ "$err" = "Display 1 offers no mode 1234x567. Zerenta.exe /list shows its modes." ] || fail "/mode 1234x567 said: $err"
no_boxes "after /mode 1234x567" 2
[ "$(screen_size)" = "$start_screen" ] || fail "/mode 1234x567 changed the desktop to $(screen_size)"
[ "$(ramp)" = "$night" ] || fail "/mode 1234x567 changed the ramp"
ends_with 1 /mode banana
grep -q '"banana" is not a display mode' <<<"$err" || fail "/mode banana said: $err"
ends_with 3 /gamma Dawn /display 1
ends_with 3 /MODE 800X600 /display 2

say "/list > file: the primary display's modes and the favourites"
list_has "while running" 'Display 1 (Generic Non-PnP Monitor, primary), now 1280x1024x32@60:' '  800x600x32@60' \
  '  1024x768x32@60' 'Mode favourites:' '  800x600x32@60  Ctrl+Alt+Shift+F8' 'Gamma favourites:' '  "Night"'
count=$(grep -c '^  [0-9]*x[0-9]*x[0-9]*@[0-9]*$' <<<"$out")
[ "$count" -ge 10 ] || fail "/list names only $count modes"

say "while a box of the program is open, /mode and /exit end with 4 and change nothing"
acctool command 32771 && driver "wait title=\"About Zerenta\" visible" >/dev/null || abort "no About box"
ends_with 4 /mode 800x600
grep -q 'waiting for an answer in one of its boxes' <<<"$err" || fail "/mode with the About box open said: $err"
ends_with 4 /exit
app_alive || fail "/exit ended the program with the About box open"
[ "$(screen_size)" = "$start_screen" ] || fail "/mode with the About box open changed the desktop to $(screen_size)"
driver "find title=\"About Zerenta\" visible=1" "close" >/dev/null || fail "the About box did not close"

say "letter case does not matter; /exit ends the running copy with the screen restored"
zerenta -MODE 800x600
ends_with 0 /GAMMA night
wait_for screen_size 800x600 || fail "-MODE 800x600 did not change the mode"
ends_with 0 /exit
wait_app_exit 20 || fail "the running copy did not end after /exit"
[ "${app_rc:-0}" = 0 ] || fail "the running copy ended with $app_rc"
wait_for screen_size "$start_screen" || fail "/exit did not restore the desktop size"
wait_for ramp "$start_ramp" || fail "/exit did not restore the ramp"

say "none running: /mode 800x600 /directdraw starts one Zerenta in the tray and sets the mode"
started_copy=1
ends_with 0 /mode 800x600 /directdraw
mains=$(acctool mains)
[ "$(grep -c . <<<"$mains")" = 1 ] || fail "main dialogs: $(tr '\n' '|' <<<"$mains")"
[ "$(cut -d' ' -f2 <<<"$mains")" = 0 ] || fail "the started copy shows its window: $mains"
wait_for screen_size 800x600 || fail "the started copy did not set 800x600"
loaded=$(acctool ddraw)
[ "$loaded" = loaded ] || fail "/directdraw did not reach the started copy: ddraw.dll $loaded"
no_boxes "the started copy" 2
key_to_wine ctrl+alt+Return
wait_for screen_size "$start_screen" || fail "Ctrl+Alt+Enter did not restore the mode the started copy set"
ends_with 0 /exit
within 20 no_copy_left && started_copy=0 || fail "the started copy still runs after /exit"

say "none running: /list reads the modes and the file itself and starts nothing"
list_has "with none running" 'Display 1 (Generic Non-PnP Monitor, primary), now 1280x1024x32@60:' \
  '  800x600x32@60' '  800x600x32@60  Ctrl+Alt+Shift+F8' '  "Night"'
[ -z "$(acctool mains)" ] || fail "/list started a Zerenta: $(acctool mains)"

finish
