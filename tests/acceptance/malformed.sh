#!/usr/bin/env bash
# Malformed settings files load without a crash and without a message box, and a section that
# is complete before the damage keeps its favourites: a file cut in the middle of a tag, binary
# garbage, 10 MB of nested elements, a quote that never closes, an empty file, a sparse gigabyte,
# and a directory where the file should be.
source "$(dirname "$0")/lib.sh"

head_lines='<?xml version="1.0" encoding="utf-8"?>
<Zerenta version="1.0.0.0" >'
resolution='<Resolution><Favourite_Resolutions><Item width="800" height="600" bpp="32" refresh_rate="60" /></Favourite_Resolutions></Resolution>'
gamma='<Gamma><Favourite_Gammas><Item R="30" G="30" B="30" Contrast="0" Brightness="100" HiClamping="255" LoClamping="0" >Dim</Item></Favourite_Gammas></Gamma>'
mode_item='[4:3]\t800 x 600 32bpp 60Hz'
gamma_item='Dim\tRGB: 30, 30, 30  CrBr: 0, 100'
blocker_off='Saver Blocker is OFF\tClick to switch temporarily'

# While the program still runs: it read far less than the gigabyte, and Apply writes the defaults
# while it keeps the skipped file whole beside them, under the first free name (an earlier kept
# copy and a read-only one stay as they are), and says where it went.
after_tray_check_gigabyte() {
  local read i size out kept
  read=$(awk '$1 == "rchar:" { print $2 }' "/proc/$app_pid/io" 2>/dev/null)
  say "the program has read ${read:-?} bytes"
  [ -n "$read" ] && [ "$read" -lt $((64 << 20)) ] || fail "gigabyte: the program read ${read:-?} bytes"
  acctool command 1030 || { fail "gigabyte: cannot post Apply"; return; }
  for i in $(seq 1 100); do
    size=$(stat -c %s "$setting" 2>/dev/null)
    [ -n "$size" ] && [ "$size" -lt 65536 ] && break
    sleep 0.1
  done
  grep -q 'Favourite_Gammas/>' "$setting" || fail "gigabyte: Apply did not write the defaults: $(head -c 300 "$setting" | tr -d '\0')"
  kept=$setting.2.bak
  size=$(stat -c %s "$kept" 2>/dev/null)
  [ "$size" = $((1 << 30)) ] || fail "gigabyte: Zerenta.Setting.2.bak is ${size:-missing}, not the skipped gigabyte"
  [ "$(head -c ${#head_lines} "$kept" 2>/dev/null)" = "$head_lines" ] || fail "gigabyte: the kept file lost its start"
  same_file "$setting.bak" "$work/good.Setting" "Zerenta.Setting.bak (the earlier kept copy)"
  same_file "$setting.1.bak" "$work/good.Setting" "Zerenta.Setting.1.bak (a read-only kept copy)"
  out=$(driver "wait class=#32770 title=\"Zerenta - Settings saved\" visible" "texts Static ~= \"Zerenta.Setting.2.bak\"" "click 1") ||
    fail "gigabyte: no box naming where the skipped file went: $out"
}

# check CASE ITEM...: starts the program on the prepared file and expects these tray items (what
# a damaged section yields is left open), no dialog box and a live program. With check_then set
# to a function, that runs before the program is stopped.
check() {
  local name=$1 items item
  shift
  start_app
  if ! items=$(tray_items); then
    fail "$name: no tray menu (the program $(app_alive && echo hangs || echo ended))"
    stop_app
    return
  fi
  tray_close
  last_items=$(tr '\n' '|' <<<"$items")
  for item in 'About Zerenta...' 'Configure...' "$@" 'Restore Screen\tCtrl + Alt + Enter' \
              'Start with Windows' 'Exit Zerenta\tCtrl + Alt + Numpad 0'; do
    grep -qxF -- "$item" <<<"$items" || fail "$name: the tray menu lacks '$item': $(tr '\n' '|' <<<"$items")"
  done
  sleep 0.5
  app_alive || fail "$name: the program ended"
  boxes=$(message_boxes)
  [ -z "$boxes" ] || fail "$name: dialog boxes: $boxes"
  [ -z "${check_then:-}" ] || "$check_then"
  stop_app
}

say "cut in the middle of a tag"
printf '%s\n%s\n%s' "$head_lines" "$resolution" '<Gamma><Favourite_Gammas><Item R="40" G=' >"$setting"
check "truncated" "$mode_item" "$blocker_off"

say "binary garbage after two intact sections"
{ printf '%s\n%s\n%s\n<Saver_Blocker>' "$head_lines" "$resolution" "$gamma"; head -c 65536 "$work/OrvelCore.dll"; } >"$setting"
check "garbage" "$mode_item" "$gamma_item" 'Reset default gamma' "$blocker_off"

say "10 MB of nested elements"
{ printf '%s\n%s\n%s\n<Saver_Blocker>' "$head_lines" "$resolution" "$gamma"; yes '<a>' | tr -d '\n' | head -c 10485760; } >"$setting"
check "nested" "$mode_item" "$gamma_item" 'Reset default gamma' "$blocker_off"

say "a quote that never closes"
# No double quote follows the open one, so it runs to the end of the file.
printf '%s\n%s\n%s' "$head_lines" "$resolution" \
  '<Gamma><Favourite_Gammas><Item R="40>Dim</Item></Favourite_Gammas></Gamma><Saver_Blocker><Blocked_Apps/><Block_Switch>On</Block_Switch></Saver_Blocker></Zerenta>' \
  >"$setting"
check "open quote" "$mode_item" "$blocker_off"

say "an empty file"
: >"$setting"
check "empty" "$blocker_off"
defaults_only='About Zerenta...|-|Configure...|-|'"$blocker_off"'|-|Restore Screen\tCtrl + Alt + Enter|Start with Windows|Exit Zerenta\tCtrl + Alt + Numpad 0|'
[ "$last_items" = "$defaults_only" ] || fail "empty: favourites from an empty file: $last_items"

say "a sparse gigabyte behind intact sections: skipped unread; Apply keeps it beside two kept copies"
printf '%s\n%s\n%s\n</Zerenta>' "$head_lines" "$resolution" "$gamma" >"$work/good.Setting"
cp "$work/good.Setting" "$setting.bak"
cp "$work/good.Setting" "$setting.1.bak"
chmod a-w "$setting.1.bak"
cp "$work/good.Setting" "$setting"
truncate -s 1G "$setting"
check_then=after_tray_check_gigabyte check "gigabyte" "$blocker_off"
[ "$last_items" = "$defaults_only" ] || fail "gigabyte: favourites, so the file was read: $last_items"
rm -f "$setting" "$setting".*bak

say "a directory in place of the file"
rm -f "$setting"
mkdir "$setting"
check "directory" "$blocker_off"
[ "$last_items" = "$defaults_only" ] || fail "directory: favourites from a directory: $last_items"
# Apply cannot replace a directory: the warning box, and the directory stays.
start_app
tray_items >/dev/null && tray_close
acctool command 1030 || fail "directory: cannot post Apply"
hwnd=$(main_hwnd) || fail "directory: no main dialog"
out=$(driver "wait class=#32770 title~=Zerenta owner=$hwnd visible" "texts Static ~= \"could not be saved\"" "click 1") ||
  fail "directory: Apply showed no warning: $out"
sleep 0.3
[ -d "$setting" ] || fail "directory: the directory is gone after Apply"
app_alive || fail "directory: the program ended after Apply"
stop_app

finish
