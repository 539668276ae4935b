#!/usr/bin/env bash
# One Zerenta per session: a second start shows the running one's window, as "Configure..." does,
# and ends with code 0, leaving the screen, the settings and the tray as they were: one main dialog,
# one tray icon. The second copy raises no access violation on its way (WINEDEBUG=warn+seh).
# A copy running with other rights (elevated) holds its record out of reach: a start beside it
# says so in one box and ends, again touching nothing.
source "$(dirname "$0")/lib.sh"

use_settings two_favourites
cp "$setting" "$work/before.Setting"

start_app
tray_items >/dev/null || abort "no tray menu from the first copy"
tray_close
hwnd=$(main_hwnd) || abort "no main dialog"
wait_main_visible 0 || fail "the first copy started with its window shown"
# A changed screen that a second copy must leave alone (its Gamma page would write the identity).
tray_choose "$fav_gamma_item" || abort "choosing the favourite gamma"
for i in $(seq 1 50); do changed=$(ramp); [ "$changed" != "$start_ramp" ] && break; sleep 0.1; done
[ "$changed" != "$start_ramp" ] || abort "the favourite gamma did not change the ramp"
icons=$(acctool trayicons Zerenta)

say "a second start"
second_log=$work/second.log
t0=$(date +%s)
(cd "$work" && WINEDEBUG=-all,warn+seh timeout 60 "$wine" ./Zerenta.exe >"$second_log" 2>&1)
rc=$?
say "the second copy ended after $(( $(date +%s) - t0 )) s with $rc"
[ "$rc" = 0 ] || fail "the second copy's exit code is $rc (124: still running after 60 s)"
app_alive || abort "the first copy ended"
wait_main_visible 1 || fail "the first copy's window was not shown"
mains=$(acctool mains)
[ "$(grep -c . <<<"$mains")" = 1 ] || fail "main dialogs: $(tr '\n' '|' <<<"$mains")"
[ "${mains%% *}" = "$hwnd" ] || fail "the main dialog is $mains, not the first copy's $hwnd"
[ "$(acctool trayicons Zerenta)" = "$icons" ] || fail "tray icons: $(acctool trayicons Zerenta), before the second start $icons"
[ "$(ramp)" = "$changed" ] || fail "the second copy changed the ramp to $(ramp)"
cmp -s "$setting" "$work/before.Setting" || fail "the settings file changed"
[ ! -e "$work/Zerenta.Setting.tmp" ] || fail "the second copy began a settings save"
if grep -E 'c0000005|page fault|access violation' "$second_log"; then fail "the second copy faulted"; fi

say "a start beside a copy with other rights"
stop_app
# The killed copy left its changed ramp, and perhaps its recovery file, for the next start to
# repair: a copy that goes on beside another must not be the one to do it.
left=$(cd "$work" && ls Zerenta.* | tr '\n' ' ')
icons=$(acctool trayicons Zerenta)
holder_out=$work/holder.out
WINEDEBUG=-all "$wine" "$acctool_exe" holdplace 120 >"$holder_out" 2>&1 &
holder=$!
trap 'kill "$holder" 2>/dev/null; acc_cleanup' EXIT
for i in $(seq 1 100); do grep -q . "$holder_out" && break; sleep 0.1; done
[ "$(tr -d '\r' <"$holder_out")" = held ] || abort "the record could not be held out of reach: $(cat "$holder_out")"
start_app
out=$(driver "timeout 20000" "wait class=#32770 title=Zerenta visible" "texts Static ~= \"already running with other rights\"") ||
  fail "no box saying that Zerenta runs with other rights: $out; windows: $(acctool windows | grep -c .), mains: $(acctool mains | tr '\n' '|')"
[ -z "$(acctool mains)" ] || fail "a main dialog came up beside the other copy: $(acctool mains)"
[ "$(acctool trayicons Zerenta)" = "$icons" ] || fail "a tray icon came up beside the other copy"
driver "wait class=#32770 title=Zerenta visible" "click 1" >/dev/null
wait_app_exit 10 || fail "the copy still runs after its box was closed"
[ "${app_rc:-0}" = 0 ] || fail "the copy ended with $app_rc"
[ "$(ramp)" = "$changed" ] || fail "the copy changed the ramp to $(ramp)"
[ "$(cd "$work" && ls Zerenta.* | tr '\n' ' ')" = "$left" ] || fail "files beside the program were $left, now $(cd "$work" && ls Zerenta.* | tr '\n' ' ')"
kill "$holder" 2>/dev/null

finish
