#!/usr/bin/env bash
# End-to-end test of the saver blocker against the running program: activations drive the block
# state (and Gorvane follows, refusing the screen saver and the power-down while it blocks), the
# tray switch, Apply, Remove, Pick App, Select App, saving a path with "&" and reading it back,
# and the block ending at exit. The program's trace lines are read from its output
# (WINEDEBUG=warn+seh prints every OutputDebugString line). ZR_SHOTS_DIR=<dir> also keeps screenshots.
source "$(dirname "$0")/../../acceptance/lib.sh"

app_winedebug=-all,warn+seh
traces() { debug_lines "$app_log"; }
count() { traces | grep -c -F -x -- "$1"; }

# wait_count LINE N: waits (20 s) until the trace holds LINE at least N times.
at_least() { [ "$(count "$1")" -ge "$2" ]; }
wait_count() { within 20 at_least "$1" "$2" || abort "expected $2 x '$1', saw $(count "$1")"; }
expect_count() { [ "$(count "$1")" -eq "$2" ] || abort "expected exactly $2 x '$1', saw $(count "$1")"; }

# drv: the driver script on stdin; a failed command ends the journey.
drv() {
  local out
  out=$(driver -) || { echo "$out" >&2; abort "a driver script failed" >&2; }
  echo "$out"
}

# The page loads its section last at start-up and evaluates the foreground window then.
settings_loaded() {
  app_alive || abort "Zerenta ended at start-up"
  traces | grep -q '^Blocker state to set: '
}
start_zerenta() {
  : >"$app_log"
  start_app
  within 30 settings_loaded || abort "Zerenta did not load its settings"
}

# Shows the main dialog on the blocker tab; sets main to its handle.
show_blocker_page() {
  main=$(show_main) || abort "cannot show the main dialog"
  driver "find hwnd=$main" "tab-select 1029 3" >/dev/null || abort "no blocker tab"
}

PAGE='find exe=Zerenta.exe title=Zerenta class=#32770 visible=1
save main
control 1008
parent
save page'
# OK in the picker: it goes, and the main dialog is back, the driver on its blocker page.
PICKED='click 1
wait exe=Zerenta.exe class=#32770 title="Pick an application" gone
wait exe=Zerenta.exe title=Zerenta class=#32770 visible
control 1008
parent'

# The Exit Zerenta button's command, posted: the program's windows stay in the background.
exit_zerenta() {
  acctool command 1 && driver "wait title=Quiting visible" "click 6" >/dev/null || abort "no exit question"
  wait_app_exit 20 || abort "Zerenta did not end after the exit question"
}

# tray_holds ITEM: the tray menu holds this item (tab as \t).
tray_holds() { grep -q -x -F "$1" <<<"$(tray_read)" || abort "the tray menu lacks '$1'"; }

to_front() { driver "find hwnd=$1" "foreground" >/dev/null || abort "window $1 did not come to the front"; }

# syscommands: sends the screen saver, a power-down and a power-on request to a hidden window of
# the program (the tray's or the main dialog's parent): a window of the thread Gorvane hooks, not
# the page Gorvane was installed for.
syscommands() {
  local out
  out=$(driver "find exe=Zerenta.exe class=ZerentaWnd0 title=" "send WM_SYSCOMMAND 0xF140 0" \
    "send WM_SYSCOMMAND 0xF170 2" "send WM_SYSCOMMAND 0xF170 -1") || abort "WM_SYSCOMMAND: $out"
}

mkdir -p "$work/Tom & Jerry"
cp "$bin/Gorvane.dll" "$work/Tom & Jerry/play.exe"
winpath=$(wine_tool winepath -w "$work/Tom & Jerry/play.exe")
[ -n "$winpath" ] || abort "winepath gave no Windows path"
# The stored entry differs from the running executable's path in letter case only.
printf '<?xml version="1.0" encoding="utf-8"?>\r\n<Zerenta version="1.0.0.0" >\r\n\t<Saver_Blocker>\r\n\t\t<Blocked_Apps>\r\n\t\t\t<Item>C:\\WINDOWS\\System32\\NOTEPAD.EXE</Item>\r\n\t\t</Blocked_Apps>\r\n\t\t<Block_Switch>on</Block_Switch>\r\n\t</Saver_Blocker>\r\n</Zerenta>' >"$setting"

say "start-up with notepad listed and the switch on"
start_zerenta
(cd "$work" && WINEDEBUG=-all exec "$wine" notepad >/dev/null 2>&1) &
notepad_pid=$!
trap 'kill "$notepad_pid" 2>/dev/null; acc_cleanup' EXIT
notepad=$(driver "wait class=Notepad visible" "foreground" | grep -o 'hwnd=[0-9]*' | head -1 | cut -d= -f2)
[ -n "$notepad" ] || abort "notepad has no window"
wait_count "Blocker received activate window: $notepad" 1
wait_count "Blocker state to set: 1" 1
wait_count "Gorvane: block on" 1

say "blocking: the screen saver and the power-down are refused, the power-on passes"
syscommands
expect_count "Gorvane: held off SC_SCREENSAVE" 1
expect_count "Gorvane: held off SC_MONITORPOWER 2" 1
expect_count "Gorvane: held off SC_MONITORPOWER -1" 0

say "another window activated: block 0, and nothing is refused"
show_blocker_page
to_front "$main"
wait_count "Gorvane: block off" 1
traces | grep '^Blocker state to set' | tail -1 | grep -q -x 'Blocker state to set: 0' || abort "last state is not 0"
syscommands
expect_count "Gorvane: held off SC_SCREENSAVE" 1
expect_count "Gorvane: held off SC_MONITORPOWER 2" 1

say "tray switch flips the item text; the new value counts at the next activation"
tray_choose 'Saver Blocker is ON\tClick to switch temporarily' || abort "no tray switch"
wait_count "_BlockerEnabled changed by menu: 0" 1
drv <<<"$PAGE
checked 1006 == 1" >/dev/null
tray_holds 'Saver Blocker is OFF\tClick to switch temporarily'
to_front "$notepad"
wait_count "Blocker received activate window: $notepad" 2
expect_count "Blocker state to set: 1" 1

say "Apply: the check box wins over the tray switch"
to_front "$main"
apply_settings || abort "cannot Apply"
tray_holds 'Saver Blocker is ON\tClick to switch temporarily'
to_front "$notepad"
wait_count "Blocker received activate window: $notepad" 3
wait_count "Blocker state to set: 1" 2
wait_count "Gorvane: block on" 2

say "Remove Selected, then Pick App with notepad activated"
picker=$(drv <<<"$PAGE
use main
foreground
use page
lb-select 1007 0
click 1009
until lb-count 1007 == 0
click 1014
wait exe=Zerenta.exe class=#32770 title=\"Pick an application\" visible
use main
until visible . == 0
find exe=Zerenta.exe class=#32770 title=\"Pick an application\" visible=1" | tail -1 | grep -o 'hwnd=[0-9]*' | cut -d= -f2)
# The user picks once the picker is up and active.
first_picker=$picker
wait_count "Blocker received activate window: $picker" 1
drv <<<"find hwnd=$notepad
foreground
find hwnd=$picker
until text 1011 == \"C:\\\\windows\\\\system32\\\\notepad.exe\"
text 1010 == \"Untitled - Notepad\"
foreground" >/dev/null
# Activating the picker itself leaves the fields as they are.
wait_count "Blocker received activate window: $picker" 2
drv <<<"find hwnd=$picker
text 1011 == \"C:\\\\windows\\\\system32\\\\notepad.exe\"" >/dev/null
[ -n "${ZR_SHOTS_DIR:-}" ] && screen_shot "$ZR_SHOTS_DIR/blocker-picker.png"
drv <<<"find exe=Zerenta.exe class=#32770 title=\"Pick an application\" visible=1
$PICKED
lb-items 1007 == \"C:\\\\windows\\\\system32\\\\notepad.exe\"" >/dev/null
expect_count 'Picked App to Add:C:\\windows\\system32\\notepad.exe' 1

say "Pick App, OK with nothing activated: nothing added, main dialog shown again"
picker=$(drv <<<"$PAGE
click 1014
wait exe=Zerenta.exe class=#32770 title=\"Pick an application\" visible" | tail -1 | grep -o 'hwnd=[0-9]*' | cut -d= -f2)
# Hiding the main dialog activates the window behind it for a moment; once the picker's own
# activation has been handled, any report before it has been handled as well.
[ "$picker" = "$first_picker" ] && seen_before=2 || seen_before=0
wait_count "Blocker received activate window: $picker" $((seen_before + 1))
drv <<DRV >/dev/null
find exe=Zerenta.exe class=#32770 title="Pick an application" visible=1
text 1011 == ""
text 1010 == ""
$PICKED
lb-count 1007 == 1
DRV
[ "$(traces | grep -c '^Picked App to Add:')" -eq 1 ] || abort "a second pick added something"

say "Select App twice with the same file: added once"
escaped=${winpath//\\/\\\\}
for round in 1 2; do
  drv <<<"$PAGE
click 1008
wait exe=Zerenta.exe class=#32770 title=Open visible
settext 1148 \"$escaped\"
click 1
wait exe=Zerenta.exe class=#32770 title=Open gone" >/dev/null
  wait_count "App to Add:$escaped" "$round"
done
drv <<<"$PAGE
lb-count 1007 == 2
lb-item 1007 1 == \"$escaped\"" >/dev/null
[ -n "${ZR_SHOTS_DIR:-}" ] && screen_shot "$ZR_SHOTS_DIR/blocker-page.png"

say "Apply saves the \"&\" as an entity"
apply_settings || abort "Apply"
grep -q -F 'Tom &amp; Jerry' "$setting" || { cat "$setting"; abort "the saved file has no 'Tom &amp; Jerry'"; }
grep -q -F 'Tom & Jerry' "$setting" && abort "a raw '&' in the saved file"
grep -q -F '<Block_Switch>On</Block_Switch>' "$setting" || abort "switch not saved as On"

say "block on, then exit: Gorvane ends the block"
to_front "$notepad"
wait_count "Blocker received activate window: $notepad" 4
wait_count "Gorvane: block on" 3
offs=$(count "Gorvane: block off")
exit_zerenta
expect_count "Gorvane: block off" $((offs + 1))
traces | tail -3 | grep -q '^Gorvane: uninstalled for window' || abort "no uninstall line at the end"

say "restart: the saved list and switch read back"
start_zerenta
show_blocker_page
drv <<<"$PAGE
lb-items 1007 == \"C:\\\\windows\\\\system32\\\\notepad.exe|$escaped\"
checked 1006 == 1" >/dev/null
exit_zerenta
finish
