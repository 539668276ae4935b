#!/usr/bin/env bash
# Two displays, tried as a new user would, in a two-display harness: DUMMY0 (1280x1024, primary)
# and DUMMY1 (1024x768, right of it, with a mode only it has: 1000x700).
# - The Resolution tab lists display 2's modes after choosing it in "Display:".
# - A favourite on each display; the favourites list and the tray name the display, and a
#   picture of the list taken right after Apply is the list drawn anew. Display 2's
#   favourite from the tray changes only DUMMY1 (xrandr), and Keep keeps it.
# - Ctrl+Alt+Enter, typed with xdotool, puts both displays back.
# - Killed hard while display 2 is in another mode, the next start puts display 2 back (and
#   leaves display 1 alone).
# - Both favourites survive a restart; the file is expected/two_displays.Setting byte for byte
#   (hand_edited loads the same file on one display).
# - The command line (after Apply): /mode ... /display 2 changes only DUMMY1, a mode display 1
#   lacks or a display 3 ends with 3, /list names both displays with their modes and display 2's
#   favourite with its /display 2, /restore puts DUMMY1 back.
# - The Gamma tab's "All displays" ramp is on the X server (Wine keeps one ramp for the whole
#   screen); each display keeps its own setting; a refused ramp names both displays, explains the
#   limit, and "Allow stronger settings..." puts GdiIcmGammaRange = 256 into the registry.
acc_displays=2
source "$(dirname "$0")/lib.sh"

# A countdown of 3 s, as a hand edit may set it, so that Keep can be seen to outlast it.
use_settings two_displays

item1='Display 1: [4:3]\t800 x 600 32bpp 60Hz'
item2='Display 2: [10:7]\t1000 x 700 32bpp 60Hz'
[ "$(output_mode DUMMY0)" = 1280x1024 ] && [ "$(output_mode DUMMY1)" = 1024x768 ] ||
  abort "the harness has not the two displays: $(xrandr -display "$DISPLAY" | grep ' connected' | tr '\n' '|')"

# rows_of: the detected list's rows, one a line ("1000 x 700|32 bit|60 Hz|...").
rows_of() { lv_rows 1036 "until lv-count 1036 > 0"; }
# add_favourite DISPLAY-PLACE ROW-TEXT: chooses the display, then adds the first row with that text.
add_favourite() {
  local out rows row before
  out=$(driver "find hwnd=$hwnd" "cb-select 1052 $1") || { echo "choosing display $1: $out"; return 1; }
  rows=$(rows_of)
  row=$(awk -v want="$2|" 'index($0, want) == 1 { print NR - 1; exit }' <<<"$rows")
  [ -n "$row" ] || { echo "no '$2' row among display $(( $1 + 1 ))'s modes"; return 1; }
  before=$(driver "find hwnd=$hwnd" "lv-count 1034" | sed -n 's/^ok lv-count "\([0-9]*\)".*/\1/p')
  out=$(driver "find hwnd=$hwnd" "lv-select 1036 $row" "click 1005" "until lv-count 1034 == $(( before + 1 ))") ||
    { echo "adding '$2': $out"; return 1; }
}
# keep_favourite ITEM OUTPUT SIZE: chooses the tray favourite, waits for that output's new size
# and answers Keep.
keep_favourite() {
  tray_choose "$1" "wait title=\"$mode_box_title\" visible" || return 1
  wait_for "output_mode $2" "$3" || return 1
  local out
  out=$(driver "${keep_mode[@]}") || { echo "Keep: $out"; return 1; }
}

start_app
hwnd=$(show_main) || abort "Configure did not show the main dialog"

say "the Resolution tab: display 2's modes after choosing it"
out=$(driver "find hwnd=$hwnd" "cb-count 1052 == 2" "cb-selected 1052 == 0" \
             'cb-item 1052 0 == "1. Generic Non-PnP Monitor (primary)"' 'cb-item 1052 1 == "2. Generic Non-PnP Monitor"') ||
  fail "the Display: selector: $out"
grep -q '^1000 x 700|' <<<"$(rows_of)" && fail "display 1's modes include display 2's 1000 x 700"
driver "find hwnd=$hwnd" "cb-select 1052 1" >/dev/null || fail "cannot choose display 2"
grep -q '^1000 x 700|32 bit|60 Hz|' <<<"$(rows_of)" || fail "display 2's modes lack 1000 x 700: $(rows_of | head -3)"

say "a favourite on each display, named in the favourites list"
add_favourite 1 '1000 x 700|32 bit|60 Hz' || fail "display 2's favourite"
add_favourite 0 '800 x 600|32 bit|60 Hz' || fail "display 1's favourite"
favs=$(lv_rows 1034)
grep -q '^1000 x 700|32 bit|60 Hz|.*|2$' <<<"$favs" && grep -q '^800 x 600|32 bit|60 Hz|.*|1$' <<<"$favs" ||
  fail "the favourites list does not name the displays: $(tr '\n' ' ' <<<"$favs")"
[ -n "${ZR_SHOTS_DIR:-}" ] && screen_shot "$ZR_SHOTS_DIR/resolution-two-displays.png" 1280x1024+0+0 "$hwnd"
# Apply builds the list anew from the saved favourites (sorted, nothing selected); a picture
# taken right after it shows that list.
out=$(shows_as_drawn "$hwnd" 1034 "click 1030") || fail "the favourites list on the screen after Apply: $out"
within 5 grep -q 'width="1000"' "$setting" 2>/dev/null

say "the command line: /display 2 reaches DUMMY1 alone, /list names both displays"
ends_with 0 /mode 1000x700 /display 2
wait_for "output_mode DUMMY1" 1000x700 || fail "/mode 1000x700 /display 2 left DUMMY1"
[ "$(output_mode DUMMY0)" = 1280x1024 ] || fail "/mode ... /display 2 changed DUMMY0: $(output_mode DUMMY0)"
no_boxes "after /mode ... /display 2"
ends_with 3 /mode 1000x700
ends_with 3 /mode 800x600 /display 3
ends_with 0 /list
# Without Wine's virtual desktop the primary display runs at the X server's own rate.
grep -q '^Display 1 (Generic Non-PnP Monitor, primary), now 1280x1024x32@[0-9]*:$' <<<"$out" ||
  fail "/list does not name display 1: $(grep -v '^  [0-9]' <<<"$out" | tr '\n' '|')"
for line in 'Display 2 (Generic Non-PnP Monitor), now 1000x700x32@60:' '  1000x700x32@60 /display 2' '  800x600x32@60'; do
  grep -qxF -- "$line" <<<"$out" || fail "/list lacks '$line': $(tr '\n' '|' <<<"$out" | cut -c1-300)"
done
ends_with 0 /restore
wait_for "output_mode DUMMY1" 1024x768 || fail "/restore left DUMMY1"

say "display 2's favourite from the tray changes only DUMMY1, and Keep keeps it"
keep_favourite "$item2" DUMMY1 1000x700 || fail "display 2's favourite from the tray"
sleep 4  # past the 3 s countdown
[ "$(output_mode DUMMY1)" = 1000x700 ] || fail "Keep did not keep 1000x700 on DUMMY1: $(output_mode DUMMY1)"
[ "$(output_mode DUMMY0)" = 1280x1024 ] || fail "display 2's favourite changed DUMMY0: $(output_mode DUMMY0)"

say "Ctrl+Alt+Enter puts both displays back"
keep_favourite "$item1" DUMMY0 800x600 || fail "display 1's favourite from the tray"
[ "$(output_mode DUMMY1)" = 1000x700 ] || fail "display 1's favourite changed DUMMY1: $(output_mode DUMMY1)"
driver "find hwnd=$hwnd" "wait hwnd=$hwnd visible" >/dev/null || fail "the main dialog is not shown"
key_to_wine ctrl+alt+Return
wait_for "output_mode DUMMY0" 1280x1024 || fail "Ctrl+Alt+Enter left DUMMY0"
wait_for "output_mode DUMMY1" 1024x768 || fail "Ctrl+Alt+Enter left DUMMY1"

say "killed hard while display 2 is in another mode: the next start puts display 2 back"
keep_favourite "$item2" DUMMY1 1000x700 || fail "display 2's favourite before the kill"
wait_for has_recovery yes 5 || fail "no recovery file while display 2 differs"
stop_app hard
# Another Wine program looks at the displays meanwhile; Wine itself does not put DUMMY1 back.
acctool windows >/dev/null
sleep 1
[ "$(output_mode DUMMY1)" = 1000x700 ] || say "DUMMY1 went back before the next start: $(output_mode DUMMY1)"
start_app
wait_for "output_mode DUMMY1" 1024x768 || fail "the next start did not put display 2 back"
[ "$(output_mode DUMMY0)" = 1280x1024 ] || fail "the next start changed DUMMY0: $(output_mode DUMMY0)"
wait_for has_recovery no 5 || fail "the recovery file stayed after the start"
hwnd=$(show_main) || abort "Configure did not show the main dialog after the restart"

say "the Gamma tab: the ramp for all displays reaches the X server; each display keeps its own"
out=$(driver "find hwnd=$hwnd" "tab-select 1029 1" "cb-count 1053 == 3" "cb-selected 1053 == 0" \
             'cb-item 1053 0 == "All displays"' "tb-set 1016 30" "until text 1024 == 30%") ||
  fail "R = 30 for all displays: $out"
green() { ramp | cut -d/ -f2; }
wait_for green "$(cut -d/ -f2 <<<"$start_ramp")" || fail "R moved the green ramp"
[ "$(ramp | cut -d/ -f1)" != "$(cut -d/ -f1 <<<"$start_ramp")" ] || fail "the X server's red ramp is still the start-up one"
out=$(driver "find hwnd=$hwnd" "cb-select 1053 2" "tb-pos 1016 == 30" "tb-set 1018 70" "until text 1026 == 70%" \
             "cb-select 1053 1" "tb-pos 1016 == 30" "tb-pos 1018 == 50" "text 1026 == 50%" \
             "cb-select 1053 2" "tb-pos 1018 == 70") ||
  fail "display 2's own setting: $out"

say "a refused ramp names both displays and offers stronger settings"
out=$(driver "find hwnd=$hwnd" "cb-select 1053 0" "tb-set 1032 64" "until visible 1055 == 1" "text 1055" "visible 1054 == 1") ||
  fail "the refusal: $out"
grep -qF 'Displays 1 and 2 refused this setting.' <<<"$out" ||
  fail "the refusal does not name both displays: $out"
grep -qF 'Windows keeps gamma ramps close to the normal curve unless stronger settings are allowed.' <<<"$out" ||
  fail "the refusal does not explain the limit: $out"
[ -n "${ZR_SHOTS_DIR:-}" ] && screen_shot "$ZR_SHOTS_DIR/gamma-two-displays.png" 1280x1024+0+0 "$hwnd"
out=$(driver "find hwnd=$hwnd" "click 1054" "wait title=\"Zerenta - Allow stronger settings\" visible" \
             'texts Static ~= "GdiIcmGammaRange = 256"' "click 6" "wait title=\"Zerenta - Allow stronger settings\" gone" \
             "timeout 30000" "wait title=\"Zerenta - Allow stronger settings\" visible" \
             'texts Static ~= "sign out and sign in again"' \
             "click 1" "wait title=\"Zerenta - Allow stronger settings\" gone") ||
  fail "Allow stronger settings: $out"
reg=$(wine_tool reg query 'HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\ICM' /v GdiIcmGammaRange)
grep -q 'GdiIcmGammaRange.*REG_DWORD.*0x100' <<<"$reg" || fail "the registry after confirming: $reg"

say "exit, start again: both favourites are in the tray, and the file is as expected"
exit_by_tray || abort "the exit from the tray"
same_file "$setting" "$(expected_file two_displays.Setting)" "the settings file written on two displays"
start_app
items=$(tray_read) || abort "no tray menu after the restart"
grep -qxF -- "$item1" <<<"$items" && grep -qxF -- "$item2" <<<"$items" ||
  fail "the tray after the restart: $(tr '\n' '|' <<<"$items")"

finish
