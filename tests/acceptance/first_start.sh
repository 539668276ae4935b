#!/usr/bin/env bash
# First start without a settings file: the program starts into the tray (main dialog hidden,
# tray icon with its balloon, core window); Configure shows the dialog with its four tabs, Apply
# writes the three sections with empty lists and the blocker switch off; the close box hides and
# saves; the About box types the version; Apply && Minimize hides the dialog again.
source "$(dirname "$0")/lib.sh"

[ ! -e "$setting" ] || abort "the fresh folder already holds a settings file"
start_app

# The tray answers only after the dialog's initialisation, so the menu proves start-up is done.
items=$(tray_items) || abort "no tray menu after start-up"
configure=$(driver "menu-item 2")
tray_close
[[ "$configure" == *'"Configure..." id=32772 flags=default'* ]] || fail "Configure is not the default item: $configure"
want=$'About Zerenta...\n-\nConfigure...\n-\nSaver Blocker is OFF\\tClick to switch temporarily\n-\nRestore Screen\\tCtrl + Alt + Enter\nStart with Windows\nExit Zerenta\\tCtrl + Alt + Numpad 0'
[ "$items" = "$want" ] || fail "tray menu without favourites: $(tr '\n' '|' <<<"$items")"

say "the main dialog exists and stays hidden"
main=$(main_dialog) || abort "$main"
[ "${main#* }" = 0 ] || fail "the main dialog is visible at start-up"
sleep 1
main=$(main_dialog)
[ "${main#* }" = 0 ] || fail "the main dialog became visible after start-up"

say "the balloon"
# Wine's shell shows the balloon as a tooltip of explorer.exe with the balloon style. Its text is
# the program's; Wine 8 shows no title there, so the title "Zerenta" cannot be checked.
wait_balloon -x '1 [^|]*|Zerenta is running\.' ||
  fail "no visible balloon 'Zerenta is running.'; balloon tooltips: ${balloons:-none}"

boxes=$(message_boxes)
[ -z "$boxes" ] || fail "dialog boxes at start-up: $boxes"
out=$(driver "desktop" "find class=__Zerenta_Core_Class__") || fail "no core window: $out"

say "Configure, Apply"
hwnd=$(show_main) || abort "Configure did not show the main dialog"
out=$(driver "find hwnd=$hwnd" "tab-count 1029 == 4" "tab-text 1029 0 == Resolution" "tab-text 1029 1 == Gamma" \
  "tab-text 1029 2 == \"Aspect Ratio Calculator\"" "tab-text 1029 3 == \"Saver Blocker\"") || fail "the tabs: $out"
out=$(driver "find hwnd=$hwnd" "click 1030") || fail "Apply: $out"
for i in $(seq 1 50); do [ -s "$setting" ] && break; sleep 0.1; done
[ -s "$setting" ] || abort "Apply wrote no settings file"
sleep 0.3
same_file "$setting" "$(expected_file first_start.Setting)" "the first settings file"
# Independently of the byte layout: the three sections, empty lists, the question on, the switch off.
text=$(tr -d '\r\t\n' <"$setting" | sed 's/^\xef\xbb\xbf//')
for part in '<Resolution><Favourite_Resolutions/><Confirm_New_Mode>On</Confirm_New_Mode></Resolution>' \
            '<Gamma><Favourite_Gammas/></Gamma>' \
            '<Saver_Blocker><Blocked_Apps/><Block_Switch>Off</Block_Switch></Saver_Blocker>'; do
  grep -qF "$part" <<<"$text" || fail "the settings file lacks $part: $text"
done

say "the close box hides and saves"
rm -f "$setting"
out=$(driver "find hwnd=$hwnd" "post WM_SYSCOMMAND 0xF060 0") || fail "close box: $out"
wait_main_visible 0 || fail "the close box did not hide the dialog"
for i in $(seq 1 30); do [ -s "$setting" ] && break; sleep 0.1; done
[ -s "$setting" ] || fail "the close box did not save"

say "the About box types its version"
acctool command 32771 || fail "cannot post About"
out=$(driver "wait title=\"About Zerenta\" visible" "sleep 1500" "texts ZerentaWnd3 ~= \"Version: 1.0.0.0\"" \
  "command 1" "wait title=\"About Zerenta\" gone") || fail "About: $out"
hwnd=$(show_main) || abort "Configure did not show the main dialog again"

say "Apply && Minimize hides the dialog and keeps the program running"
out=$(driver "find hwnd=$hwnd" "click 2") || fail "Apply && Minimize: $out"
wait_main_visible 0 || fail "Apply && Minimize did not hide the dialog"
sleep 0.3
app_alive || fail "the program ended after Apply && Minimize"
boxes=$(message_boxes)
[ -z "$boxes" ] || fail "dialog boxes after Apply: $boxes"

finish
