#!/usr/bin/env bash
# End-to-end test of the saver blocker against a running Zerenta.exe under wine64, on the
# harness's display: activations drive the block state (and Gorvane follows), the tray switch,
# Apply, Remove, Pick App, Select App, saving a path with "&" and reading it back, and the
# block ending at exit. The program's trace lines are read from its stderr
# (WINEDEBUG=warn+seh prints every OutputDebugString line).
#
#   blocker_e2e.sh <dir with Zerenta.exe, its DLLs and zdriver.exe>
# Environment: DISPLAY, WINEPREFIX (tools/harness); ZR_SHOTS=<dir> also writes screenshots there.
set -uo pipefail

bin=$(cd "$1" && pwd)
wine=${ZR_WINE:-/usr/lib/wine/wine64}
work=$(mktemp -d /tmp/zr-blocker-e2e.XXXXXX)
trace=$work/stderr

log() { echo "blocker_e2e: $*"; }

traces() { grep -a 'OutputDebugStringA "' "$trace" 2>/dev/null | sed 's/.*OutputDebugStringA "//; s/\\n"$//'; }

# The Windows processes this test started: wine64 may hand a program over to a new process,
# so they are found by the private working directory they all run in, not by $!.
started_pids() {
  local dir pid
  for dir in /proc/[0-9]*; do
    [ "$(readlink "$dir/cwd" 2>/dev/null)" = "$work" ] || continue
    pid=${dir#/proc/}
    [ "$pid" = "$$" ] && continue
    tr '\0' ' ' <"$dir/cmdline" 2>/dev/null | grep -q -i -e "$1" && echo "$pid"
  done
}

cleanup() {
  local pid
  for pid in $(started_pids 'zerenta\.exe\|notepad'); do
    kill "$pid" 2>/dev/null
  done
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  {
    log "FAIL: $*"
    echo "--- last trace lines:"
    traces | tail -40
  } >&2
  exit 1
}

drv() {
  local out
  out=$(WINEDEBUG=-all "$wine" "$bin/zdriver.exe" - 2>&1) || { echo "$out" >&2; fail "driver script failed"; }
  echo "$out"
}

count() { traces | grep -c -F -x -- "$1"; }

# wait_count LINE N: waits (bounded) until the trace holds LINE at least N times.
wait_count() {
  local deadline=$((SECONDS + 20))
  while [ "$(count "$1")" -lt "$2" ]; do
    [ "$SECONDS" -ge "$deadline" ] && fail "expected $2 x '$1', saw $(count "$1")"
    sleep 0.1
  done
}

expect_count() {
  local seen
  seen=$(count "$1")
  [ "$seen" -eq "$2" ] || fail "expected exactly $2 x '$1', saw $seen"
}

shot() { [ -n "${ZR_SHOTS:-}" ] && import -display "$DISPLAY" -window root "$ZR_SHOTS/$1"; return 0; }

start_zerenta() {
  : >"$trace"
  (cd "$work" && WINEDEBUG=-all,warn+seh exec "$wine" Zerenta.exe >/dev/null 2>>"$trace") &
  # The page loads its section last at start-up and evaluates the foreground window then.
  local deadline=$((SECONDS + 30))
  until traces | grep -q '^Blocker state to set: '; do
    [ "$SECONDS" -ge "$deadline" ] && fail "Zerenta did not load its settings"
    [ -n "$(started_pids 'zerenta\.exe')" ] || fail "Zerenta ended at start-up"
    sleep 0.2
  done
}

# Shows the main dialog on the blocker tab. It starts in the tray, parked under a hidden window
# of the same class as the tray icon's window, and either may be found first: a double click
# on the icon (the tray callback 32778, icon 133) opens it when the tray window was found,
# Configure posted to the parked dialog when the hidden parent was.
show_main() {
  if ! WINEDEBUG=-all "$wine" "$bin/zdriver.exe" - >/dev/null 2>&1 <<'DRV'
find exe=Zerenta.exe class=ZerentaWnd0 title=
post 32778 133 WM_LBUTTONDBLCLK
timeout 3000
wait exe=Zerenta.exe title=Zerenta class=#32770 visible
DRV
  then
    drv <<'DRV' >/dev/null
find exe=Zerenta.exe class=ZerentaWnd0 title=
child title=Zerenta class=#32770
command 32772
wait exe=Zerenta.exe title=Zerenta class=#32770 visible
DRV
  fi
  drv <<<'find exe=Zerenta.exe title=Zerenta class=#32770 visible=1
tab-select 1029 3' >/dev/null
}

PAGE='find exe=Zerenta.exe title=Zerenta class=#32770 visible=1
save main
control 1008
parent
save page'

exit_zerenta() {
  drv <<'DRV' >/dev/null
find exe=Zerenta.exe title=Zerenta class=#32770
post WM_COMMAND 1 0
wait exe=Zerenta.exe title=Quiting visible
click 6
DRV
  local deadline=$((SECONDS + 20))
  while [ -n "$(started_pids 'zerenta\.exe')" ]; do
    [ "$SECONDS" -ge "$deadline" ] && fail "Zerenta did not end after the exit question"
    sleep 0.2
  done
}

# Makes our notepad the foreground window; prints its handle.
activate_notepad() {
  drv <<<"find ${notepad:+hwnd=$notepad }class=Notepad visible=1
foreground" | grep -o 'hwnd=[0-9]*' | head -1 | cut -d= -f2
}

cp "$bin"/Zerenta.exe "$bin"/OrvelCore.dll "$bin"/Gorvane.dll "$bin"/Tessik.dll "$work"/
mkdir -p "$work/Tom & Jerry"
cp "$bin/Gorvane.dll" "$work/Tom & Jerry/play.exe"
winpath=$(WINEDEBUG=-all "$wine" winepath -w "$work/Tom & Jerry/play.exe" 2>/dev/null | tr -d '\r')
[ -n "$winpath" ] || fail "winepath gave no Windows path"
# The stored entry differs from the running executable's path in letter case only.
printf '<?xml version="1.0" encoding="utf-8"?>\r\n<Zerenta version="1.0.0.0" >\r\n\t<Saver_Blocker>\r\n\t\t<Blocked_Apps>\r\n\t\t\t<Item>C:\\WINDOWS\\System32\\NOTEPAD.EXE</Item>\r\n\t\t</Blocked_Apps>\r\n\t\t<Block_Switch>on</Block_Switch>\r\n\t</Saver_Blocker>\r\n</Zerenta>' >"$work/Zerenta.Setting"

log "start-up with notepad listed and the switch on"
start_zerenta
(cd "$work" && WINEDEBUG=-all exec "$wine" notepad >/dev/null 2>&1) &
drv <<<'wait class=Notepad visible' >/dev/null
notepad=""
notepad=$(activate_notepad)
[ -n "$notepad" ] || fail "notepad has no window"
wait_count "Blocker received activate window: $notepad" 1
wait_count "Blocker state to set: 1" 1
wait_count "Gorvane: block on" 1

log "another window activated: block 0"
show_main
drv <<<"$PAGE
use main
foreground" >/dev/null
wait_count "Gorvane: block off" 1
traces | grep '^Blocker state to set' | tail -1 | grep -q -x 'Blocker state to set: 0' || fail "last state is not 0"

log "tray switch flips the item text; the new value counts at the next activation"
drv <<<"$PAGE
use main
post WM_RBUTTONUP 0 0x00200020
menu-item 4 == \"Saver Blocker is ON\\tClick to switch temporarily\"
menu-choose 4" >/dev/null
wait_count "_BlockerEnabled changed by menu: 0" 1
drv <<<"$PAGE
checked 1006 == 1
use main
post WM_RBUTTONUP 0 0x00200020
menu-item 4 == \"Saver Blocker is OFF\\tClick to switch temporarily\"
menu-close" >/dev/null
activate_notepad >/dev/null
wait_count "Blocker received activate window: $notepad" 2
expect_count "Blocker state to set: 1" 1

log "Apply: the check box wins over the tray switch"
drv <<<"$PAGE
use main
foreground
click 1030
post WM_RBUTTONUP 0 0x00200020
until menu-item 4 == \"Saver Blocker is ON\\tClick to switch temporarily\"
menu-close" >/dev/null
activate_notepad >/dev/null
wait_count "Blocker received activate window: $notepad" 3
wait_count "Blocker state to set: 1" 2
wait_count "Gorvane: block on" 2

log "Remove Selected, then Pick App with notepad activated"
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
shot blocker-picker.png
drv <<<'find exe=Zerenta.exe class=#32770 title="Pick an application" visible=1
click 1
wait exe=Zerenta.exe class=#32770 title="Pick an application" gone
wait exe=Zerenta.exe title=Zerenta class=#32770 visible
control 1008
parent
lb-items 1007 == "C:\\windows\\system32\\notepad.exe"' >/dev/null
expect_count 'Picked App to Add:C:\\windows\\system32\\notepad.exe' 1

log "Pick App, OK with nothing activated: nothing added, main dialog shown again"
picker=$(drv <<<"$PAGE
use page
click 1014
wait exe=Zerenta.exe class=#32770 title=\"Pick an application\" visible" | tail -1 | grep -o 'hwnd=[0-9]*' | cut -d= -f2)
# Hiding the main dialog activates the window behind it for a moment; once the picker's own
# activation has been handled, any report before it has been handled as well.
[ "$picker" = "$first_picker" ] && seen_before=2 || seen_before=0
wait_count "Blocker received activate window: $picker" $((seen_before + 1))
drv <<'DRV' >/dev/null
find exe=Zerenta.exe class=#32770 title="Pick an application" visible=1
text 1011 == ""
text 1010 == ""
click 1
wait exe=Zerenta.exe class=#32770 title="Pick an application" gone
wait exe=Zerenta.exe title=Zerenta class=#32770 visible
control 1008
parent
lb-count 1007 == 1
DRV
[ "$(traces | grep -c '^Picked App to Add:')" -eq 1 ] || fail "a second pick added something"

log "Select App twice with the same file: added once"
escaped=${winpath//\\/\\\\}
for round in 1 2; do
  drv <<<"$PAGE
use page
click 1008
wait exe=Zerenta.exe class=#32770 title=Open visible
settext 1148 \"$escaped\"
click 1
wait exe=Zerenta.exe class=#32770 title=Open gone" >/dev/null
  wait_count "App to Add:${winpath//\\/\\\\}" "$round"
done
drv <<<"$PAGE
use page
lb-count 1007 == 2
lb-item 1007 1 == \"$escaped\"" >/dev/null
shot blocker-page.png

log "Apply saves the \"&\" as an entity"
drv <<<"$PAGE
use main
click 1030" >/dev/null
deadline=$((SECONDS + 20))
until grep -q -F 'Tom &amp; Jerry' "$work/Zerenta.Setting" 2>/dev/null; do
  [ "$SECONDS" -ge "$deadline" ] && { cat "$work/Zerenta.Setting"; fail "the saved file has no 'Tom &amp; Jerry'"; }
  sleep 0.2
done
grep -q -F 'Tom & Jerry' "$work/Zerenta.Setting" && fail "a raw '&' in the saved file"
grep -q -F '<Block_Switch>On</Block_Switch>' "$work/Zerenta.Setting" || fail "switch not saved as On"

log "block on, then exit: Gorvane ends the block"
drv <<<"$PAGE
use main
foreground" >/dev/null
activate_notepad >/dev/null
wait_count "Blocker received activate window: $notepad" 4
wait_count "Gorvane: block on" 3
offs=$(count "Gorvane: block off")
exit_zerenta
expect_count "Gorvane: block off" $((offs + 1))
traces | tail -3 | grep -q '^Gorvane: uninstalled for window' || fail "no uninstall line at the end"

log "restart: the saved list and switch read back"
start_zerenta
show_main
drv <<<"$PAGE
lb-items 1007 == \"C:\\\\windows\\\\system32\\\\notepad.exe|$escaped\"
checked 1006 == 1" >/dev/null
exit_zerenta
log "all checks passed"
