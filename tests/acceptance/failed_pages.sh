#!/usr/bin/env bash
# A program file whose resolution and gamma page templates hold a control that cannot be made,
# so those two pages cannot be created: the program still starts, with the other two tabs; the tray menu offers
# nothing of the missing pages; Apply writes their sections back exactly as the file had them
# (a page that never showed its favourites must not save them away), while the saver blocker's
# section is saved from its page as usual.
source "$(dirname "$0")/lib.sh"

acctool brokendialog "$(wine_tool winepath -w "$work/Zerenta.exe")" 130 131 ||
  abort "cannot break the page templates of the program file"
expected=$(expected_file hand_edited.Setting)
cp "$expected" "$setting"

say "start with the two pages missing"
start_app
items=$(tray_items) || abort "no tray menu"
tray_close
grep -qF 'Saver Blocker is ON\tClick to switch temporarily' <<<"$items" ||
  fail "the saver blocker's item is missing: $(tr '\n' '|' <<<"$items")"
grep -qE 'x 600|x 768|RGB:|Reset default gamma' <<<"$items" &&
  fail "the tray offers items of a page that is not there: $(tr '\n' '|' <<<"$items")"
boxes=$(message_boxes)
[ -z "$boxes" ] || fail "dialog boxes after start-up: $boxes"
hwnd=$(show_main) || abort "the main dialog cannot be shown"
out=$(driver "find hwnd=$hwnd" "tab-count 1029 == 2" "tab-text 1029 0 == \"Aspect Ratio Calculator\"" \
  "tab-text 1029 1 == \"Saver Blocker\"") || fail "tabs: $out"

say "Apply keeps the sections of the missing pages"
cp "$setting" "$work/loaded.Setting"
rm -f "$setting"
out=$(apply_settings) || abort "$out"
same_file "$setting" "$expected" "the file written by Apply"
app_alive || fail "the program ended"

finish
