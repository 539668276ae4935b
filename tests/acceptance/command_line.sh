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

# no_question SECONDS: no box of the program comes up meanwhile.
no_box_for() {
  local deadline=$((SECONDS + $1)) boxes
  while [ "$SECONDS" -lt "$deadline" ]; do
    boxes=$(message_boxes)
    [ -z "$boxes" ] || { echo "$boxes"; return 1; }
    sleep 0.2
  done
}
# The copy a command started is no child of the journey: it is ended by its own /exit.
started_copy=0
trap '[ "$started_copy" = 1 ] && zerenta /exit; acc_cleanup' EXIT

start_app
tray_items >/dev/null || abort "no tray menu: the program did not start"
tray_close

say "/mode 800x600: code 0, the mode, no question"
zerenta /mode 800x600
[ "$rc" = 0 ] || fail "/mode 800x600 ended with $rc: $err"
wait_for screen_size 800x600 || fail "/mode 800x600 did not change the mode"
boxes=$(no_box_for 3) || fail "a box came up after /mode: $boxes"

say "/gamma \"Night\": the favourite's ramp"
zerenta /gamma "Night"
[ "$rc" = 0 ] || fail "/gamma Night ended with $rc: $err"
for i in $(seq 1 50); do night=$(ramp); [ "$night" != "$start_ramp" ] && break; sleep 0.1; done
[ "$night" != "$start_ramp" ] || fail "/gamma Night left the ramp as it was"

say "/restore: the start-up ramp and mode"
zerenta /Restore
[ "$rc" = 0 ] || fail "/restore ended with $rc: $err"
wait_for ramp "$start_ramp" || fail "/restore did not put back the ramp"
wait_for screen_size "$start_screen" || fail "/restore did not put back the mode"
tray_choose "$night_item" || fail "the tray's Night"
wait_for ramp "$night" || fail "the tray's Night gives another ramp than /gamma Night did"

say "/mode 1234x567 ends with 3 and changes nothing; /mode banana with 1"
zerenta /mode 1234x567
[ "$rc" = 3 ] || fail "/mode 1234x567 ended with $rc"
[ "$err" = "Display 1 offers no mode 1234x567. Zerenta.exe /list shows its modes." ] || fail "/mode 1234x567 said: $err"
boxes=$(no_box_for 2) || fail "a box came up after /mode 1234x567: $boxes"
[ "$(screen_size)" = "$start_screen" ] || fail "/mode 1234x567 changed the desktop to $(screen_size)"
[ "$(ramp)" = "$night" ] || fail "/mode 1234x567 changed the ramp"
zerenta /mode banana
[ "$rc" = 1 ] || fail "/mode banana ended with $rc"
grep -q '"banana" is not a display mode' <<<"$err" || fail "/mode banana said: $err"
zerenta /gamma Dawn /display 1
[ "$rc" = 3 ] || fail "/gamma Dawn ended with $rc: $err"
zerenta /MODE 800X600 /display 2
[ "$rc" = 3 ] || fail "/mode on display 2 ended with $rc: $err"

say "/list > file: the primary display's modes and the favourites"
(cd "$work" && WINEDEBUG=-all timeout 90 "$wine" ./Zerenta.exe /list >"$work/modes.txt" 2>/dev/null </dev/null)
rc=$?
[ "$rc" = 0 ] || fail "/list ended with $rc"
listed=$(tr -d '\r' <"$work/modes.txt")
for line in 'Display 1 (Generic Non-PnP Monitor, primary), now 1280x1024x32@60:' '  800x600x32@60' '  1024x768x32@60' \
            'Mode favourites:' '  800x600x32@60  Ctrl+Alt+Shift+F8' 'Gamma favourites:' '  "Night"'; do
  grep -qxF -- "$line" <<<"$listed" || fail "/list lacks '$line': $(head -3 <<<"$listed")..."
done
count=$(grep -c '^  [0-9]*x[0-9]*x[0-9]*@[0-9]*$' <<<"$listed")
[ "$count" -ge 10 ] || fail "/list names only $count modes"

say "while a box of the program is open, /mode and /exit end with 4 and change nothing"
acctool command 32771 && driver "wait title=\"About Zerenta\" visible" >/dev/null || abort "no About box"
zerenta /mode 800x600
[ "$rc" = 4 ] || fail "/mode with the About box open ended with $rc"
grep -q 'waiting for an answer in one of its boxes' <<<"$err" || fail "/mode with the About box open said: $err"
zerenta /exit
[ "$rc" = 4 ] || fail "/exit with the About box open ended with $rc"
app_alive || fail "/exit ended the program with the About box open"
[ "$(screen_size)" = "$start_screen" ] || fail "/mode with the About box open changed the desktop to $(screen_size)"
driver "find title=\"About Zerenta\" visible=1" "close" >/dev/null || fail "the About box did not close"

say "letter case does not matter; /exit ends the running copy with the screen restored"
zerenta -MODE 800x600
zerenta /GAMMA night
[ "$rc" = 0 ] || fail "/GAMMA night ended with $rc: $err"
wait_for screen_size 800x600 || fail "-MODE 800x600 did not change the mode"
zerenta /exit
[ "$rc" = 0 ] || fail "/exit ended with $rc: $err"
wait_app_exit 20 || fail "the running copy did not end after /exit"
[ "${app_rc:-0}" = 0 ] || fail "the running copy ended with $app_rc"
wait_for screen_size "$start_screen" || fail "/exit did not restore the desktop size"
wait_for ramp "$start_ramp" || fail "/exit did not restore the ramp"

say "none running: /mode 800x600 /directdraw starts one Zerenta in the tray and sets the mode"
started_copy=1
zerenta /mode 800x600 /directdraw
[ "$rc" = 0 ] || fail "/mode with none running ended with $rc: $err"
mains=$(acctool mains)
[ "$(grep -c . <<<"$mains")" = 1 ] || fail "main dialogs: $(tr '\n' '|' <<<"$mains")"
[ "$(cut -d' ' -f2 <<<"$mains")" = 0 ] || fail "the started copy shows its window: $mains"
wait_for screen_size 800x600 || fail "the started copy did not set 800x600"
loaded=$(acctool ddraw)
[ "$loaded" = loaded ] || fail "/directdraw did not reach the started copy: ddraw.dll $loaded"
boxes=$(no_box_for 2) || fail "a box came up: $boxes"
key_to_wine ctrl+alt+Return
wait_for screen_size "$start_screen" || fail "Ctrl+Alt+Enter did not restore the mode the started copy set"
zerenta /exit
[ "$rc" = 0 ] || fail "/exit of the started copy ended with $rc: $err"
for i in $(seq 1 100); do [ -z "$(acctool mains)" ] && break; sleep 0.2; done
[ -z "$(acctool mains)" ] && started_copy=0 || fail "the started copy still runs after /exit"

say "none running: /list reads the modes and the file itself and starts nothing"
(cd "$work" && WINEDEBUG=-all timeout 90 "$wine" ./Zerenta.exe /list >"$work/modes.txt" 2>/dev/null </dev/null)
rc=$?
[ "$rc" = 0 ] || fail "/list with none running ended with $rc"
listed=$(tr -d '\r' <"$work/modes.txt")
for line in 'Display 1 (Generic Non-PnP Monitor, primary), now 1280x1024x32@60:' '  800x600x32@60' \
            '  800x600x32@60  Ctrl+Alt+Shift+F8' '  "Night"'; do
  grep -qxF -- "$line" <<<"$listed" || fail "/list with none running lacks '$line': $(head -3 <<<"$listed")..."
done
[ -z "$(acctool mains)" ] || fail "/list started a Zerenta: $(acctool mains)"

finish
