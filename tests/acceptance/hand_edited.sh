#!/usr/bin/env bash
# A settings file edited by hand - mixed-case names, a root of another name, an unknown section,
# an unknown child in the Gamma section, entity references, lenient numbers, a child named other
# than Item - loads, once as written and once as UTF-16 with a byte-order mark; the next Apply
# writes the normalised file, compared byte for byte with expected/hand_edited.Setting. A name
# outside ASCII survives a save and a reload, from UTF-16 with a mark and from UTF-8 without one.
# The file the two-display journey writes loads on one display without loss: display 2's
# favourite is shown as not attached, left out of the tray and kept by the next Apply. Killed
# with its window open, the program starts again and shows its window on Configure.
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
  start_app
  local items
  items=$(tray_items) || { fail "$1: no tray menu"; return; }
  tray_close
  [ "$items" = "$2" ] || fail "$1: tray menu: $(tr '\n' '|' <<<"$items")"
  boxes=$(message_boxes)
  [ -z "$boxes" ] || fail "$1: dialog boxes after loading: $boxes"
  out=$(apply_settings) || { fail "$1: $out"; return; }
  same_file "$setting" "$expected" "$1: the file written by Apply"
  stop_app
}

say "the file as edited (8-bit, line feeds)"
cp "$input" "$setting"
load_and_apply "8-bit file" "$as_edited"

say "the same file as UTF-16 with a byte-order mark and CR LF"
{ printf '\xff\xfe'; sed 's/$/\r/' "$input" | iconv -f UTF-8 -t UTF-16LE; } >"$setting"
load_and_apply "UTF-16 file" "$as_edited"

say "the written file loads again and is written unchanged"
cp "$expected" "$setting"
load_and_apply "written file" "$as_written"

say "a file written on two displays: display 2's favourite unavailable here, and kept"
expected_file two_displays.Setting >/dev/null
cp "$work/expected.two_displays.Setting" "$setting"
start_app
items=$(tray_items) || fail "two-display file: no tray menu"
tray_close
grep -qxF -- "$mode800" <<<"$items" || fail "two-display file: the tray lacks display 1's favourite: $(tr '\n' '|' <<<"$items")"
grep -q '1000 x 700' <<<"$items" && fail "two-display file: the tray offers display 2's favourite"
hwnd=$(show_main) || fail "two-display file: Configure did not show the main dialog"
favs=$(driver "find hwnd=$hwnd" "lv-rows 1034" | sed -n 's/^ok lv-rows "\(.*\)" count=.*$/\1/p' | sed 's/\\n/\n/g')
grep -q '^800 x 600|32 bit|60 Hz|.*|1$' <<<"$favs" && grep -q '^1000 x 700|32 bit|60 Hz|.*|not attached$' <<<"$favs" ||
  fail "two-display file: the favourites list: $(tr '\n' ' ' <<<"$favs")"
out=$(apply_settings) || fail "two-display file: $out"
# One display: display 1's favourite names none, as files always did; display 2's keeps its name.
grep -q '<Item width="800" height="600" bpp="32" refresh_rate="60" />' "$setting" &&
  grep -qF 'width="1000" height="700" bpp="32" refresh_rate="60" display="\\?\DISPLAY#Default_Monitor#0001&amp;0000#' "$setting" ||
  fail "two-display file after Apply: $(tr -d '\r' <"$setting")"

say "ended hard with its window open (as Task Manager ends it), Zerenta starts again"
wait_main_visible 1 || fail "the window closed before the kill"
kill -KILL "$app_pid"
wait "$app_pid" 2>/dev/null
app_pid=""
start_app
hwnd=$(show_main) || fail "the start after the kill shows no main dialog: $hwnd"
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
    items=$(tray_items) || { fail "$form, $round: no tray menu"; break; }
    tray_close
    grep -qxF -- "$named" <<<"$items" || fail "$form, $round: the tray lacks the name: $(tr '\n' '|' <<<"$items")"
    if [ "$round" = "as loaded" ]; then
      cp "$setting" "$work/loaded.Setting"
      out=$(apply_settings) || fail "$form: $out"
      cmp -s "$setting" "$work/loaded.Setting" && fail "$form: Apply did not rewrite the file"
    fi
    stop_app
  done
done

finish
