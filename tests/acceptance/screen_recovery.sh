#!/usr/bin/env bash
# The screen comes back on the paths the program does not control. With a favourite mode and a
# favourite gamma on the screen, "Zerenta.Recovery" lies beside the settings, and:
# - the Wine process killed hard leaves the ramp wrong; the next start puts the start-up mode
#   and ramp back within 3 s and removes the file, and its exit restores that same state;
# - a fault in the program puts them back on its way down, before the system's crash box; a fault
#   of its main thread, whose windows then answer nothing, has the ramp back within 1 s;
# - the end of the session puts them back.
source "$(dirname "$0")/lib.sh"

use_settings two_favourites
recovery=$work/Zerenta.Recovery
has_recovery() { [ -f "$recovery" ] && echo yes || echo no; }

say "killed hard: the ramp stays wrong"
start_app
change_through_favourites || abort "could not change the screen"
wait_for has_recovery yes 5 || fail "no recovery file while the screen differs"
kill -KILL "$app_pid"
wait "$app_pid" 2>/dev/null
app_pid=""
sleep 1
# Wine returns to the registry's mode by itself once the process that set a temporary mode is
# gone (at the next look at the display settings by any program), so only the ramp is checked.
[ "$(ramp)" = "$changed" ] || fail "the ramp changed after the kill: $(ramp)"
[ "$(has_recovery)" = yes ] || fail "the kill took the recovery file"

say "the next start puts the start-up mode and ramp back within 3 s"
t0=$(date +%s.%N)
start_app
out=$(wait_since "$t0" 3 ramp "$start_ramp") && say "ramp back after $out s" || fail "the start-up ramp: $out"
out=$(wait_since "$t0" 3 screen_size "$start_screen") && say "mode back after $out s" || fail "the start-up mode: $out"
out=$(wait_since "$t0" 3 has_recovery no) && say "recovery file used and removed after $out s" ||
  fail "the recovery file stayed after the start: $out"

say "exiting afterwards restores that same start-up state"
change_through_favourites || fail "could not change the screen after the restart"
tray_choose 'Exit Zerenta\tCtrl + Alt + Numpad 0' || fail "tray menu lacks Exit"
out=$(driver "wait title=Quiting visible" "click 6") || fail "exit question: $out"
wait_app_exit 20 || { fail "the program did not end after Yes"; stop_app; }
wait_for screen_size "$start_screen" || fail "exit did not restore the start-up desktop size"
wait_for ramp "$start_ramp" || fail "exit did not restore the start-up ramp"
[ "$(has_recovery)" = no ] || fail "the recovery file stayed after the exit"

say "a fault in the program puts the screen back on its way down"
start_app
change_through_favourites || abort "could not change the screen before the fault"
acctool fault || fail "could not start a faulting thread in the program"
wait_for ramp "$start_ramp" 10 || fail "the fault left the ramp"
wait_for has_recovery no 5 || fail "the recovery file stayed after the fault"
# Wine's crash box for the program comes after the program's own handling; closing it ends both.
driver "timeout 15000" 'wait title="Program Error" visible' "close" >/dev/null || say "no crash box came up"
wait_app_exit 20 || { fail "the program did not end after its fault"; stop_app; }
# The mode is asked back on the way down too, but Wine at times reports that change done while its
# desktop keeps the faulting process's size until the process is gone; so the size is read after.
wait_for screen_size "$start_screen" 10 || fail "the fault left the desktop size"
restore_screen

say "a fault on the main thread puts the start-up ramp back within 1 s"
start_app
change_through_favourites || abort "could not change the screen before the fault"
out=$(acctool fault main) || fail "could not send the program's main thread to a fault"
if [ "$out" = unchanged ]; then
  fail "the ramp was not back 5 s after the fault: $(ramp)"
elif [ "$out" -le 1000 ]; then
  say "ramp changed $out ms after the fault"
else
  fail "the ramp changed only $out ms after the fault"
fi
[ "$(ramp)" = "$start_ramp" ] || fail "after the fault the ramp is $(ramp)"
driver "timeout 15000" 'wait title="Program Error" visible' "close" >/dev/null || say "no crash box came up"
wait_app_exit 20 || { fail "the program did not end after its fault"; stop_app; }
wait_for screen_size "$start_screen" 10 || fail "the fault left the desktop size"
restore_screen

say "the end of the session puts the screen back"
start_app
change_through_favourites || abort "could not change the screen before the end of the session"
acctool endsession || fail "could not end the program's session"
wait_for screen_size "$start_screen" || fail "the end of the session left the desktop size"
wait_for ramp "$start_ramp" || fail "the end of the session left the ramp"
wait_for has_recovery no 5 || fail "the recovery file stayed after the end of the session"

finish
