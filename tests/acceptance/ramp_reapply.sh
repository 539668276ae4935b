#!/usr/bin/env bash
# The system replaces the ramp (after a mode change, on resume, at unlock) and Zerenta puts its own
# back within 1 s: an outside program writes the identity ramp and then announces a display
# change, a resume or an unlock. After "Restore Screen" nothing of Zerenta's is in force any more,
# and the ramp another program writes then stays through the same three events.
source "$(dirname "$0")/lib.sh"

# A start-up ramp that differs from the identity, in the 8-bit steps the device keeps exactly.
acctool setramp 90 || abort "could not set the start-up ramp"
start90=$(ramp)
[ "$start90" != "$start_ramp" ] || abort "the start-up ramp did not change"

start_app
hwnd=$(show_main) || abort "Configure did not show the main dialog"
out=$(driver "find hwnd=$hwnd" "tab-select 1029 1" "tb-set 1016 70" "until text 1024 == 70%") ||
  abort "setting R = 70: $out"
r70=""
for i in $(seq 1 50); do r70=$(ramp); [ "$r70" != "$start_ramp" ] && [ "$r70" != "$start90" ] && break; sleep 0.1; done
say "R = 70: $r70"

# Each time from the moment the outside program has sent the event.
for event in displaychange resume unlock; do
  acctool systemreset "$event" || { fail "$event: the outside program failed"; continue; }
  out=$(wait_since "$(date +%s.%N)" 1 ramp "$r70") && say "$event: back after $out s" ||
    fail "$event: the R = 70 ramp was not back within 1 s: $out"
done

say "after Restore Screen another program's ramp stays"
tray_choose 'Restore Screen\tCtrl + Alt + Enter' || fail "tray menu lacks Restore Screen"
wait_for ramp "$start90" || fail "Restore Screen did not put the start-up ramp back"
# acctool writes the identity ramp, which is the harness's start_ramp; the second look a second
# after each event must not bring a ramp of Zerenta's back either.
for event in displaychange resume unlock; do
  acctool systemreset "$event" || { fail "$event: the outside program failed"; continue; }
  out=$(holds_for 1.5 ramp "$start_ramp") && say "$event: the outside ramp stayed" ||
    fail "$event: the outside program's ramp was replaced: $out"
done

finish
