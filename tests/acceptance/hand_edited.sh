#!/usr/bin/env bash
# A settings file edited by hand - mixed-case names, a root of another name, an unknown section,
# an unknown child in the Gamma section, entity references, lenient numbers, a child named other
# than Item - loads, once as written and once as UTF-16 with a byte-order mark; the next Apply
# writes the normalised file, compared byte for byte with expected/hand_edited.Setting. A name
# outside ASCII survives a save and a reload, from UTF-16 with a mark and from UTF-8 without one.
# The file the two-display journey writes loads on one display without loss: display 2's
# favourite is shown as not attached, left out of the tray and kept by the next Apply.
# Malformed files load without a crash and without a message box, and a section that is complete
# before the damage keeps its favourites: a file cut in the middle of a tag, binary garbage,
# 10 MB of nested elements, a quote that never closes, an empty file, a sparse gigabyte, and a
# directory where the file should be.
# A program file whose resolution and gamma page templates hold a control that cannot be made
# still starts, with the other two tabs; the tray offers nothing of the missing pages, and Apply
# writes their sections back as the file had them (a page that never showed its favourites must
# not save them away), while the saver blocker's section is saved from its page as usual.
source "$(dirname "$0")/lib.sh"

input=$acc_lib_dir/input/hand_edited.Setting
expected=$(expected_file hand_edited.Setting)
# The tray offers the favourites in the order of the file; a save writes them sorted.
tray_with() {
  printf '%s\n' 'About Zerenta...' - 'Configure...' - "$1" "$2" - "$3" "$4" 'Reset default gamma' - \
    'Saver Blocker is ON\tClick to switch temporarily' - 'Restore Screen\tCtrl + Alt + Enter' \
    'Start with Windows' 'Exit Zerenta\tCtrl + Alt + Numpad 0'
}
mode1024='[4:3]\t1024 x 768 32bpp 60Hz'
mode800='[4:3]\t800 x 600 32bpp 60Hz'
dusk='Dusk & Dawn\tRGB: 40, 45, 50  CrBr: -10, 110'
bright='Bright\tRGB: 70, 50, 50  CrBr: 0, 100'
as_edited=$(tray_with "$mode1024" "$mode800" "$dusk" "$bright")
as_written=$(tray_with "$mode800" "$mode1024" "$bright" "$dusk")

# load_and_apply WHAT TRAY: the settings file is in place; start, check the tray, Apply, compare.
load_and_apply() {
  say "$1"
  start_app
  local items
  items=$(tray_read) || { fail "$1: no tray menu"; return; }
  [ "$items" = "$2" ] || fail "$1: tray menu: $(tr '\n' '|' <<<"$items")"
  no_boxes "$1: after loading"
  out=$(apply_settings) || { fail "$1: $out"; return; }
  same_file "$setting" "$expected" "$1: the file written by Apply"
  stop_app
}

cp "$input" "$setting"
load_and_apply "the file as edited (8-bit, line feeds)" "$as_edited"

{ printf '\xff\xfe'; sed 's/$/\r/' "$input" | iconv -f UTF-8 -t UTF-16LE; } >"$setting"
load_and_apply "the same file as UTF-16 with a byte-order mark and CR LF" "$as_edited"

cp "$expected" "$setting"
load_and_apply "the written file, which loads again and is written unchanged" "$as_written"

say "a file written on two displays: display 2's favourite unavailable here, and kept"
cp "$(expected_file two_displays.Setting)" "$setting"
start_app
items=$(tray_read) || fail "two-display file: no tray menu"
grep -qxF -- "$mode800" <<<"$items" || fail "two-display file: the tray lacks display 1's favourite: $(tr '\n' '|' <<<"$items")"
grep -q '1000 x 700' <<<"$items" && fail "two-display file: the tray offers display 2's favourite"
hwnd=$(show_main) || fail "two-display file: Configure did not show the main dialog"
favs=$(lv_rows 1034)
grep -q '^800 x 600|32 bit|60 Hz|.*|1$' <<<"$favs" && grep -q '^1000 x 700|32 bit|60 Hz|.*|not attached$' <<<"$favs" ||
  fail "two-display file: the favourites list: $(tr '\n' ' ' <<<"$favs")"
out=$(apply_settings) || fail "two-display file: $out"
# One display: display 1's favourite names none, as files always did; display 2's keeps its name.
grep -q '<Item width="800" height="600" bpp="32" refresh_rate="60" />' "$setting" &&
  grep -qF 'width="1000" height="700" bpp="32" refresh_rate="60" display="\\?\DISPLAY#Default_Monitor#0001&amp;0000#' "$setting" ||
  fail "two-display file after Apply: $(tr -d '\r' <"$setting")"

stop_app

say "names outside ASCII survive a save and a reload, from UTF-16 with a mark and from UTF-8 without one"
# é, € and Ω (no code page holds all three), in UTF-8
name=$'Caf\xc3\xa9 \xe2\x82\xac \xce\xa9'
xml="<Zerenta><Gamma><Favourite_Gammas><Item R=\"60\">$name</Item></Favourite_Gammas></Gamma></Zerenta>"
named="$name\\tRGB: 60, 50, 50  CrBr: 0, 100"
for form in "UTF-16 with a mark" "UTF-8 without a mark"; do
  case $form in
    UTF-16*) { printf '\xff\xfe'; printf '%s' "$xml" | iconv -f UTF-8 -t UTF-16LE; } >"$setting" ;;
    *) printf '%s' "$xml" >"$setting" ;;
  esac
  for round in "as loaded" "after Apply and a restart"; do
    start_app
    items=$(tray_read) || { fail "$form, $round: no tray menu"; break; }
    grep -qxF -- "$named" <<<"$items" || fail "$form, $round: the tray lacks the name: $(tr '\n' '|' <<<"$items")"
    if [ "$round" = "as loaded" ]; then
      cp "$setting" "$work/loaded.Setting"
      out=$(apply_settings) || fail "$form: $out"
      cmp -s "$setting" "$work/loaded.Setting" && fail "$form: Apply did not rewrite the file"
    fi
    stop_app
  done
done

head_lines='<?xml version="1.0" encoding="utf-8"?>
<Zerenta version="1.0.0.0" >'
resolution='<Resolution><Favourite_Resolutions><Item width="800" height="600" bpp="32" refresh_rate="60" /></Favourite_Resolutions></Resolution>'
gamma='<Gamma><Favourite_Gammas><Item R="30" G="30" B="30" Contrast="0" Brightness="100" HiClamping="255" LoClamping="0" >Dim</Item></Favourite_Gammas></Gamma>'
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
  within 10 eval '[ "$(stat -c %s "$setting" 2>/dev/null || echo $((1 << 30)))" -lt 65536 ]'
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

# check CASE ITEM...: says CASE, starts the program on the prepared file and expects these tray items (what
# a damaged section yields is left open), no dialog box and a live program. With check_then set
# to a function, that runs before the program is stopped.
check() {
  local name=$1 items item
  shift
  say "$name"
  start_app
  if ! items=$(tray_read); then
    fail "$name: no tray menu (the program $(app_alive && echo hangs || echo ended))"
    stop_app
    return
  fi
  last_items=$(tr '\n' '|' <<<"$items")
  for item in 'About Zerenta...' 'Configure...' "$@" 'Restore Screen\tCtrl + Alt + Enter' \
              'Start with Windows' 'Exit Zerenta\tCtrl + Alt + Numpad 0'; do
    grep -qxF -- "$item" <<<"$items" || fail "$name: the tray menu lacks '$item': $(tr '\n' '|' <<<"$items")"
  done
  sleep 0.5
  app_alive || fail "$name: the program ended"
  no_boxes "$name"
  [ -z "${check_then:-}" ] || "$check_then"
  stop_app
}

printf '%s\n%s\n%s' "$head_lines" "$resolution" '<Gamma><Favourite_Gammas><Item R="40" G=' >"$setting"
check "cut in the middle of a tag" "$fav_mode_item" "$blocker_off"

{ printf '%s\n%s\n%s\n<Saver_Blocker>' "$head_lines" "$resolution" "$gamma"; head -c 65536 "$work/OrvelCore.dll"; } >"$setting"
check "binary garbage after two intact sections" "$fav_mode_item" "$fav_gamma_item" 'Reset default gamma' "$blocker_off"

{ printf '%s\n%s\n%s\n<Saver_Blocker>' "$head_lines" "$resolution" "$gamma"; yes '<a>' | tr -d '\n' | head -c 10485760; } >"$setting"
check "10 MB of nested elements" "$fav_mode_item" "$fav_gamma_item" 'Reset default gamma' "$blocker_off"

# No double quote follows the open one, so it runs to the end of the file.
printf '%s\n%s\n%s' "$head_lines" "$resolution" \
  '<Gamma><Favourite_Gammas><Item R="40>Dim</Item></Favourite_Gammas></Gamma><Saver_Blocker><Blocked_Apps/><Block_Switch>On</Block_Switch></Saver_Blocker></Zerenta>' \
  >"$setting"
check "a quote that never closes" "$fav_mode_item" "$blocker_off"

: >"$setting"
check "an empty file" "$blocker_off"
defaults_only='About Zerenta...|-|Configure...|-|'"$blocker_off"'|-|Restore Screen\tCtrl + Alt + Enter|Start with Windows|Exit Zerenta\tCtrl + Alt + Numpad 0|'
[ "$last_items" = "$defaults_only" ] || fail "empty: favourites from an empty file: $last_items"

printf '%s\n%s\n%s\n</Zerenta>' "$head_lines" "$resolution" "$gamma" >"$work/good.Setting"
cp "$work/good.Setting" "$setting.bak"
cp "$work/good.Setting" "$setting.1.bak"
chmod a-w "$setting.1.bak"
cp "$work/good.Setting" "$setting"
truncate -s 1G "$setting"
check_then=after_tray_check_gigabyte check "a sparse gigabyte behind intact sections, skipped unread" "$blocker_off"
[ "$last_items" = "$defaults_only" ] || fail "gigabyte: favourites, so the file was read: $last_items"
rm -f "$setting" "$setting".*bak

# Apply cannot replace a directory: the warning box, and the directory stays.
after_tray_check_directory() {
  acctool command 1030 || fail "directory: cannot post Apply"
  hwnd=$(main_hwnd) || fail "directory: no main dialog"
  out=$(driver "wait class=#32770 title~=Zerenta owner=$hwnd visible" "texts Static ~= \"could not be saved\"" \
    "click 1") || fail "directory: Apply showed no warning: $out"
  sleep 0.3
  [ -d "$setting" ] || fail "directory: the directory is gone after Apply"
  app_alive || fail "directory: the program ended after Apply"
}
mkdir "$setting"
check_then=after_tray_check_directory check "a directory in place of the file" "$blocker_off"
[ "$last_items" = "$defaults_only" ] || fail "directory: favourites from a directory: $last_items"

say "the resolution and gamma pages cannot be made: the other two tabs, their sections kept"
acctool brokendialog "$(wine_tool winepath -w "$work/Zerenta.exe")" 130 131 ||
  abort "cannot break the page templates of the program file"
rm -rf "$setting"
cp "$expected" "$setting"
start_app
items=$(tray_read) || abort "no tray menu with two pages missing"
grep -qF 'Saver Blocker is ON\tClick to switch temporarily' <<<"$items" ||
  fail "the saver blocker's item is missing: $(tr '\n' '|' <<<"$items")"
grep -qE 'x 600|x 768|RGB:|Reset default gamma' <<<"$items" &&
  fail "the tray offers items of a page that is not there: $(tr '\n' '|' <<<"$items")"
no_boxes "with two pages missing"
hwnd=$(show_main) || abort "the main dialog cannot be shown with two pages missing"
out=$(driver "find hwnd=$hwnd" "tab-count 1029 == 2" "tab-text 1029 0 == \"Aspect Ratio Calculator\"" \
  "tab-text 1029 1 == \"Saver Blocker\"") || fail "tabs: $out"
rm -f "$setting"
out=$(apply_settings) || abort "$out"
same_file "$setting" "$expected" "the file written by Apply with two pages missing"
app_alive || fail "the program ended with two pages missing"

finish
