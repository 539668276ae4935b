#!/usr/bin/env bash
# The screen comes back on every way out, and one Zerenta per session. With a favourite mode and
# a favourite gamma on the screen, "Zerenta.Recovery" lies beside the settings, and:
# - the Wine process killed hard leaves the ramp wrong; a start beside a copy running with other
#   rights (elevated), which holds its record out of reach, says so in one box and ends, touching
#   neither the screen nor the files; the next start puts the start-up mode and ramp back within
#   3 s and removes the file;
# - a second start shows the running copy's window, as "Configure..." does, and ends with code 0,
#   leaving the screen, the settings and the tray as they were (one main dialog, one tray icon),
#   with no access violation on its way (WINEDEBUG=warn+seh);
# - every exit path - the tray menu's "Exit Zerenta" (first in the copy started after the kill),
#   the "Exit Zerenta" button and Ctrl+Alt+Numpad 0 - asks first: No keeps the program and the
#   changed screen, Yes ends it with code 0, puts the start-up mode and ramp back and removes the
#   file; no exit changes the settings file;
# - a fault in the program puts them back on its way down, before the system's crash box; a fault
#   of its main thread, whose windows then answer nothing, has the ramp back within 1 s;
# - the end of the session puts them back.
source "$(dirname "$0")/lib.sh"

use_settings two_favourites
cp "$setting" "$work/before.Setting"

# ask_exit PATH: brings up the exit question through one path; the driver waits for the box.
ask_exit() {
  case $1 in
    button)
      local hwnd
      hwnd=$(show_main) || { echo "Configure did not show the main dialog"; return 1; }
      driver "find hwnd=$hwnd" "click 1" >/dev/null || { echo "clicking Exit Zerenta failed"; return 1; } ;;
    tray)
      tray_choose 'Exit Zerenta\tCtrl + Alt + Numpad 0' || return 1 ;;
    hotkey)
      # Wine maps the keypad key to VK_NUMPAD0 only with Num Lock on; with it off the key is
      # VK_INSERT (KP_Insert) and the hotkey does not fire. xdotool turns Num Lock on itself for
      # KP_0, but only when it has to: switching it on first keeps the keysym unambiguous.
      numlock_on
      key_to_wine ctrl+alt+KP_0 ;;
  esac
  driver "wait title=Quiting visible" "texts Static ~= \"Do you really want to exit Zerenta?\"" >/dev/null ||
    { echo "no exit question after the $1"; return 1; }
}

# after_fault: the crash box closed, the program ends and the desktop gets its size back.
after_fault() {
  # Wine's crash box for the program comes after the program's own handling; closing it ends both.
  driver "timeout 15000" 'wait title="Program Error" visible' "close" >/dev/null || say "no crash box came up"
  wait_app_exit 20 || { fail "the program did not end after its fault"; stop_app; }
  # The mode is asked back on the way down too, but Wine at times reports that change done while
  # its desktop keeps the faulting process's size until the process is gone; so it is read after.
  wait_for screen_size "$start_screen" 10 || fail "the fault left the desktop size"
  restore_screen
}

say "killed hard: the ramp stays wrong"
change_through_favourites || abort "could not change the screen"
wait_for has_recovery yes 5 || fail "no recovery file while the screen differs"
stop_app hard
sleep 1
# Wine returns to the registry's mode by itself once the process that set a temporary mode is
# gone (at the next look at the display settings by any program), so only the ramp is checked.
[ "$(ramp)" = "$changed" ] || fail "the ramp changed after the kill: $(ramp)"
[ "$(has_recovery)" = yes ] || fail "the kill took the recovery file"

say "a start beside a copy with other rights: one box, and the screen and the files as they were"
# The killed copy left its changed ramp and its recovery file for the next start to repair: a
# copy that goes on beside another must not be the one to do it.
files() { cd "$work" && ls Zerenta.* | tr '\n' ' '; }
# Zerenta's tray icons; none while the desktop has no notification area (the killed copy's icon
# goes, and with the last icon the area, once the desktop notices that its window is gone).
icons() { acctool trayicons Zerenta || echo 0; }
left=$(files)
within 5 eval '[ "$(icons)" = 0 ]'
icons=$(icons)
hold holdplace 120
start_app
out=$(driver "timeout 20000" "wait class=#32770 title=Zerenta visible" "texts Static ~= \"already running with other rights\"") ||
  fail "no box saying that Zerenta runs with other rights: $out; windows: $(acctool windows | grep -c .), mains: $(acctool mains | tr '\n' '|')"
[ -z "$(acctool mains)" ] || fail "a main dialog came up beside the other copy: $(acctool mains)"
[ "$(icons)" = "$icons" ] || fail "tray icons beside the other copy: $(icons), before $icons"
driver "wait class=#32770 title=Zerenta visible" "click 1" >/dev/null
wait_app_exit 10 || { fail "the copy still runs after its box was closed"; stop_app; }
[ "${app_rc:-0}" = 0 ] || fail "the copy ended with $app_rc"
[ "$(ramp)" = "$changed" ] || fail "the copy changed the ramp to $(ramp)"
[ "$(files)" = "$left" ] || fail "files beside the program were $left, now $(files)"
release

say "the next start puts the start-up mode and ramp back within 3 s"
t0=$(date +%s.%N)
start_app
out=$(wait_since "$t0" 3 ramp "$start_ramp") && say "ramp back after $out s" || fail "the start-up ramp: $out"
out=$(wait_since "$t0" 3 screen_size "$start_screen") && say "mode back after $out s" || fail "the start-up mode: $out"
out=$(wait_since "$t0" 3 has_recovery no) && say "recovery file used and removed after $out s" ||
  fail "the recovery file stayed after the start: $out"

say "a second start shows the running copy's window and changes nothing"
hwnd=$(main_hwnd) || abort "no main dialog"
wait_main_visible 0 || fail "the copy started with its window shown"
# A changed screen that a second copy must leave alone (its Gamma page would write the identity).
tray_choose "$fav_gamma_item" || abort "choosing the favourite gamma"
changed=$(new_ramp) || abort "the favourite gamma did not change the ramp"
icons=$(acctool trayicons Zerenta)
(cd "$work" && WINEDEBUG=-all,warn+seh timeout 60 "$wine" ./Zerenta.exe >"$work/second.log" 2>&1)
rc=$?
[ "$rc" = 0 ] || fail "the second copy's exit code is $rc (124: still running after 60 s)"
app_alive || abort "the first copy ended"
wait_main_visible 1 || fail "the first copy's window was not shown"
mains=$(acctool mains)
[ "$(grep -c . <<<"$mains")" = 1 ] || fail "main dialogs: $(tr '\n' '|' <<<"$mains")"
[ "${mains%% *}" = "$hwnd" ] || fail "the main dialog is $mains, not the first copy's $hwnd"
[ "$(acctool trayicons Zerenta)" = "$icons" ] || fail "tray icons: $(acctool trayicons Zerenta), before the second start $icons"
[ "$(ramp)" = "$changed" ] || fail "the second copy changed the ramp to $(ramp)"
cmp -s "$setting" "$work/before.Setting" || fail "the second copy changed the settings file"
[ ! -e "$work/Zerenta.Setting.tmp" ] || fail "the second copy began a settings save"
if grep -E 'c0000005|page fault|access violation' "$work/second.log"; then fail "the second copy faulted"; fi

for path in tray button hotkey; do
  say "exit through the $path"
  change_through_favourites || { fail "$path: could not change the screen"; stop_app; restore_screen; continue; }

  ask_exit "$path" || { fail "$path: no question"; stop_app; restore_screen; continue; }
  out=$(driver "wait title=Quiting visible" "click 7" "wait title=Quiting gone") || fail "$path: answering No: $out"
  sleep 0.5
  app_alive || fail "$path: the program ended after No"
  [ "$(screen_size)" = 800x600 ] || fail "$path: No changed the desktop size to $(screen_size)"
  [ "$(ramp)" = "$changed" ] || fail "$path: No changed the ramp to $(ramp)"

  ask_exit "$path" || { fail "$path: no question the second time"; stop_app; restore_screen; continue; }
  out=$(driver "wait title=Quiting visible" "click 6") || fail "$path: answering Yes: $out"
  wait_app_exit 20 || { fail "$path: the program did not end after Yes"; stop_app; }
  [ "$app_rc" = 0 ] || fail "$path: exit code ${app_rc:-none}"
  wait_for screen_size "$start_screen" || fail "$path: exit did not restore the desktop size"
  wait_for ramp "$start_ramp" || fail "$path: exit did not restore the ramp"
  [ "$(has_recovery)" = no ] || fail "$path: the recovery file stayed after the exit"
  restore_screen
done
cmp -s "$setting" "$work/before.Setting" || fail "exiting changed the settings file"

say "a fault in the program puts the screen back on its way down"
change_through_favourites || abort "could not change the screen before the fault"
acctool fault || fail "could not start a faulting thread in the program"
wait_for ramp "$start_ramp" 10 || fail "the fault left the ramp"
wait_for has_recovery no 5 || fail "the recovery file stayed after the fault"
after_fault

say "a fault on the main thread puts the start-up ramp back within 1 s"
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
after_fault

say "the end of the session puts the screen back"
change_through_favourites || abort "could not change the screen before the end of the session"
acctool endsession || fail "could not end the program's session"
wait_for screen_size "$start_screen" || fail "the end of the session left the desktop size"
wait_for ramp "$start_ramp" || fail "the end of the session left the ramp"
wait_for has_recovery no 5 || fail "the recovery file stayed after the end of the session"

finish
