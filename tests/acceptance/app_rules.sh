#!/usr/bin/env bash
# Application rules of the Saver Blocker, driven as a user does with real programs: notepad has
# the rule "800 x 600, Night", regedit "1024 x 768, Film", winver none. Coming to the front, a
# rule's mode and ramp reach the X server within a second; leaving (to winver, or by closing)
# puts back what was in force before; notepad to regedit goes straight from one state to the
# other; a favourite chosen from the tray during a rule is not undone when the rule's
# application leaves; Restore Screen and the tray's switch rest the rules.
source "$(dirname "$0")/lib.sh"

traces() { debug_lines "$app_log"; }

# The size of Wine's desktop window on the X server, which follows every mode change.
desk() { timeout 5 xwininfo -display "$DISPLAY" -root -tree 2>/dev/null |
  sed -n 's/.*"Default - Wine desktop".* \([0-9]*x[0-9]*\)+.*/\1/p' | head -1; }
state() { echo "$(desk) $(ramp)"; }

# The programs a rule follows, each started in the journey's folder.
# start_program PROGRAM SELECTOR: starts it and waits (30 s: a first start of Wine's own programs
# can be slow) until its window shows.
programs=()
start_program() {
  (cd "$work" && WINEDEBUG=-all exec "$wine" "$1" >/dev/null 2>&1) &
  programs+=($!)
  driver "timeout 30000" "wait $2 visible" >/dev/null || abort "$1 did not start"
}
stop_programs() { local p; for p in "${programs[@]}"; do kill "$p" 2>/dev/null; done; }
trap 'stop_programs; acc_cleanup' EXIT
# front SELECTOR...: that program's window comes to the front; t0 is the moment after.
t0=""
front() { driver "wait $* visible" "foreground" >/dev/null || fail "cannot bring $* to the front"; t0=$(date +%s.%N); }
# in_front SELECTOR STATE WHAT: it comes to the front, and within a second the screen is STATE.
in_front() { front "$1"; wait_since "$t0" 1 state "$2" >/dev/null || fail "$3: $(state)"; }
NOTEPAD='class=Notepad'
REGEDIT='class=RegEdit_RegEdit'
WINVER='exe=winver.exe class=#32770'

use_settings app_rules

# Each program is up before the next starts, and all before Zerenta, so that none comes to the
# front later by itself while the rules run. Zerenta starts with regedit in front.
start_program winver "$WINVER"
start_program notepad "$NOTEPAD"
start_program regedit "$REGEDIT"
app_winedebug=-all,warn+seh
start_app
tray_read >/dev/null || abort "no tray menu: the program did not start"
front "$WINVER"
desktop="$start_screen $start_ramp"
wait_for state "$desktop" 5 >/dev/null || abort "winver has no rule, yet the screen is $(state)"

say "notepad in front: 800 x 600 and Night within a second; winver in front: all back"
front "$NOTEPAD"
took=$(wait_since "$t0" 1 desk 800x600) || fail "notepad's mode: $took"
night=$(ramp)
for i in $(seq 1 10); do [ "$night" != "$start_ramp" ] && break; sleep 0.1; night=$(ramp); done
[ "$night" != "$start_ramp" ] || fail "notepad's rule left the ramp as it was"
in_front "$WINVER" "$desktop" "after winver came to the front"

say "notepad to regedit goes straight from one state to the other"
in_front "$NOTEPAD" "800x600 $night" "notepad again"
before=$(traces | grep -c '^Rule sets mode ')
front "$REGEDIT"
took=$(wait_since "$t0" 1 desk 1024x768) || fail "regedit's mode: $took"
# The mode goes first, the ramp right after it.
another_ramp() { case $(ramp) in "$night" | "$start_ramp") echo no ;; *) echo yes ;; esac; }
wait_since "$t0" 1 another_ramp yes >/dev/null || fail "regedit's rule left the ramp at $(ramp)"
film=$(ramp)
steps=$(traces | grep '^Rule sets mode ' | tail -n +$((before + 1)) | tr '\n' '|')
[ "$steps" = "Rule sets mode 1024 768 32 60|" ] || fail "the switch set the modes: $steps"
in_front "$WINVER" "$desktop" "from regedit to winver"

say "a favourite chosen from the tray during a rule stays when notepad leaves"
in_front "$NOTEPAD" "800x600 $night" "notepad again"
tray_choose_mode '[4:3]\t1024 x 768 32bpp 60Hz' 1024x768 || fail "the tray favourite 1024 x 768"
front "$WINVER"
# The ramp, which the tray left to the rule, goes back; the mode chosen by hand stays.
wait_since "$t0" 1 ramp "$start_ramp" >/dev/null || fail "the rule's ramp stayed: $(ramp)"
out=$(holds_for 1.5 desk 1024x768) || fail "the mode chosen from the tray was undone: $out"

say "Restore Screen during a rule: the start-up state, and no rule until a listed application comes back"
in_front "$NOTEPAD" "800x600 $night" "notepad once more"
tray_choose 'Restore Screen\tCtrl + Alt + Enter' || fail "the tray's Restore Screen"
wait_for state "$desktop" 5 >/dev/null || fail "after Restore Screen: $(state)"
front "$WINVER"
out=$(holds_for 1 state "$desktop") || fail "winver after Restore Screen: $out"
in_front "$NOTEPAD" "800x600 $night" "notepad after Restore Screen"

say "the tray switch turned OFF during a rule puts back at once, and rests the rules"
in_front "$REGEDIT" "1024x768 $film" "regedit again"
tray_choose 'Saver Blocker is ON\tClick to switch temporarily' || fail "the tray switch"
wait_for state "$desktop" 1 >/dev/null || fail "after the tray switch: $(state)"
front "$WINVER"
front "$REGEDIT"
out=$(holds_for 1 state "$desktop") || fail "regedit with the rules resting: $out"

say "notepad, the last program open, closed while in front: what was in force before it comes back"
tray_choose 'Saver Blocker is OFF\tClick to switch temporarily' || fail "the tray switch back on"
driver "find $WINVER visible=1" "close" "find $REGEDIT visible=1" "close" >/dev/null || fail "winver and regedit did not close"
in_front "$NOTEPAD" "800x600 $night" "notepad alone"
driver "find $NOTEPAD visible=1" "close" >/dev/null || fail "notepad did not close"
t0=$(date +%s.%N)
took=$(wait_since "$t0" 1 state "$desktop") || fail "after notepad closed: $took"

say "Night from the tray gives the very ramp notepad's rule gave"
tray_choose 'Night\tRGB: 30, 30, 30  CrBr: 0, 100' || fail "the tray favourite Night"
wait_for ramp "$night" 5 >/dev/null || fail "Night from the tray is $(ramp), the rule gave $night"

[ "$failures" -eq 0 ] || { echo "--- trace:"; traces | grep -v "^Tessik\|^Gorvane" | tail -40; }
finish
