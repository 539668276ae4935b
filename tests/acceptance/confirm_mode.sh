#!/usr/bin/env bash
# A mode chosen from the tray is put to the user: "Keep this display mode?" with a countdown.
# Keep keeps it; no answer, Revert, Esc and the close box put back the mode in force just before
# (not the start-up mode) and leave the ramp alone. Restore Screen closes the box, also when the
# mode it asks about is the start-up mode. A refused mode and a page with the question switched
# off show no box, and the switch survives a restart. While another box of the program is open
# (the refused mode's warning, About) a mode chosen from the tray waits for it: nothing changes.
# The countdown is shortened to 10 s through the settings file: long enough for the driver to
# answer well inside it.
# Every wait for a mode change runs in the driver process that brings it about (see settle_on).
source "$(dirname "$0")/lib.sh"

item_800='[4:3]\t800 x 600 32bpp 60Hz'
item_1024='[4:3]\t1024 x 768 32bpp 60Hz'
item_refused='[1234:567]\t1234 x 567 32bpp 60Hz'
item_start='[5:4]\t1280 x 1024 32bpp 60Hz'
[ "$start_screen" = 1280x1024 ] || abort "the journey expects a 1280x1024 desktop, not $start_screen"
use_settings confirm_mode

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
# The box with its question and a countdown from the file's 10 s (the default is 15 s). Waits,
# as a user's reaction would, until the countdown has run for a second. Sets `left` to the seconds
# then shown and `seen` to that time in ms; prints what the driver saw on a failure.
left=0 seen=0
expect_box() {
  local out
  out=$(driver "wait title=\"$mode_box_title\" visible" "texts Static ~= \"Keep this display mode?\"" \
               "until texts Static !~ \"Reverting in 10 \"" "texts Static") || { echo "$out"; return 1; }
  seen=$(now_ms)
  left=$(sed -n 's/^ok texts ".*Reverting in \([0-9]*\) seconds\{0,1\}\.".*/\1/p' <<<"$out" | tail -1)
  [ -n "$left" ] && [ "$left" -ge 1 ] && [ "$left" -le 9 ] || { echo "countdown: $out"; return 1; }
}
# no_box_for SECONDS: no box shows up in that time, and the desktop keeps the size it has.
mode_box() { driver "timeout 100" "find title=\"$mode_box_title\" visible=1" >/dev/null 2>&1 && echo up; }
no_box_for() {
  local size
  size=$(screen_size)
  holds_for "$1" mode_box "" >/dev/null || { echo "a box came up: $(message_boxes | tr '\n' ' ')"; return 1; }
  [ "$(screen_size)" = "$size" ] || { echo "the desktop went from $size to $(screen_size)"; return 1; }
}

# After a failed step: closes whatever box the program has open (the question as Revert) and
# puts the desktop back to the start-up mode, so that the next step starts from a known screen.
dismiss_boxes() {
  local title
  for title in "$mode_box_title" "Zerenta Warning" "About Zerenta"; do
    driver "timeout 500" "find title=\"$title\" visible=1" "close" >/dev/null 2>&1
  done
  acctool restoremode >/dev/null 2>&1
}

start_app
say "a dim ramp first, which no answer may touch"
tray_choose 'Dim\tRGB: 30, 30, 30  CrBr: 0, 100' || abort "no gamma favourite in the tray"
dim=$(new_ramp) || abort "the gamma favourite did not change the ramp"

say "Keep: 1024 x 768 stays beyond the countdown"
tray_choose_size "$item_1024" 1024x768 || abort "the desktop did not switch to 1024x768"
expect_box || fail "no question after the switch to 1024x768"
[ -n "${ZR_SHOTS_DIR:-}" ] && screen_shot "$ZR_SHOTS_DIR/confirm-mode.png" 1024x768+0+0
out=$(driver "${keep_mode[@]}") || fail "Keep: $out"
no_box_for 11 || fail "after Keep"
[ "$(screen_size)" = 1024x768 ] || fail "Keep did not keep 1024x768: $(screen_size)"

# No answer puts the mode back when the countdown has run out; an answer at once.
for how in none Revert Esc close; do
  say "$how: back to 1024 x 768 (the mode before, not the start-up mode)"
  t0=$(now_ms)
  tray_choose_size "$item_800" 800x600 || { fail "$how: the desktop did not switch to 800x600"; continue; }
  expect_box || { fail "$how: no question"; continue; }
  case $how in
    none) answer=() ;;
    Revert) answer=("click 2") ;;
    # Esc as the box's modal loop takes it, sent to the Keep button: the dialog manager, not the
    # button, turns it into Revert.
    Esc) answer=("control 1" "post WM_KEYDOWN 27 0x00010001") ;;
    close) answer=("close") ;;
  esac
  settle_on 1024x768 15
  out=$(driver "wait title=\"$mode_box_title\" visible" "${answer[@]}" "${settle[@]}" "wait title=\"$mode_box_title\" gone") ||
    fail "$how did not put back 1024x768: $(tail -1 <<<"$out")"
  took=$(( $(now_ms) - seen ))
  if [ "$how" = none ]; then
    waited=$(( $(now_ms) - t0 ))
    say "reverted $waited ms after the tray choice"
    [ "$waited" -ge 10000 ] || fail "reverted after $waited ms, before the countdown ran out"
  else
    [ "$took" -lt $(( (left - 1) * 1000 )) ] || fail "$how: back after $took ms, with $left s shown"
  fi
  [ "$(ramp)" = "$dim" ] || fail "$how changed the ramp: $(ramp), was $dim"
done

say "the start-up mode asked about, then Restore Screen: the box closes and the mode stays"
tray_choose_size "$item_start" "$start_screen" || abort "the desktop did not switch to the start-up mode"
expect_box || fail "no question after the switch from 1024x768 to the start-up mode"
tray_choose 'Restore Screen\tCtrl + Alt + Enter' "timeout 3000" "wait title=\"$mode_box_title\" gone" >/dev/null ||
  { fail "Restore Screen left the question about the start-up mode open"; dismiss_boxes; }
no_box_for 2 || fail "after Restore Screen"
[ "$(screen_size)" = "$start_screen" ] || fail "after Restore Screen the desktop is $(screen_size), not $start_screen"

say "a refused mode: the core's warning and the start-up mode, no question; a mode chosen meanwhile waits"
tray_choose "$item_refused" "wait title=\"Zerenta Warning\" visible" || fail "the refused mode: no warning"
tray_choose "$item_1024" || fail "no tray menu while the warning is up"
no_box_for 3 || { fail "a mode chosen while the warning was up"; dismiss_boxes; }
settle_on "$start_screen"
driver "wait title=\"Zerenta Warning\" visible" "click 1" "wait title=\"Zerenta Warning\" gone" "${settle[@]}" >/dev/null ||
  fail "the refused mode: no start-up mode after its warning"
no_box_for 3 || fail "after the refused mode"

say "a mode chosen while the About box is open waits for it"
acctool command 32771 && driver "wait title=\"About Zerenta\" visible" >/dev/null || abort "no About box"
tray_choose "$item_1024" || fail "no tray menu while the About box is open"
no_box_for 3 || { fail "a mode chosen while the About box was open"; dismiss_boxes; }
out=$(driver "find title=\"About Zerenta\" visible=1" "close") || fail "the About box: $out"
[ "$(acctool mains | cut -d' ' -f4)" = 1 ] || fail "the main dialog after About: $(acctool mains)"

say "the check box off: no question, and the choice is saved"
hwnd=$(show_main) || abort "Configure did not show the main dialog"
out=$(driver "find hwnd=$hwnd" "checked 1050 == 1" "click 1050" "until checked 1050 == 0" "click 2") ||
  fail "turning the question off: $out"
wait_main_visible 0 || fail "Apply & Minimize did not hide the dialog"
grep -q '<Confirm_New_Mode>Off</Confirm_New_Mode>' "$setting" ||
  fail "the settings file lacks the switch: $(tr -d '\r' <"$setting")"
grep -q '<Confirm_Seconds>10</Confirm_Seconds>' "$setting" || fail "the save dropped the countdown"
tray_choose_size "$item_800" 800x600 || fail "the desktop did not switch to 800x600 with the question off"
no_box_for 3 || fail "with the check box off"

say "after a restart the check box is still off"
restart_app
hwnd=$(show_main) || abort "Configure did not show the main dialog after the restart"
out=$(driver "find hwnd=$hwnd" "checked 1050 == 0") || fail "the check box after the restart: $out"

finish
