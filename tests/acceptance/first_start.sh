#!/usr/bin/env bash
# First start without a settings file: the program starts into the tray (main dialog hidden,
# tray icon with its balloon); Configure shows the dialog, Apply writes the three sections with
# empty lists and the blocker switch off; Apply && Minimize hides it again.
source "$(dirname "$0")/lib.sh"

[ ! -e "$setting" ] || abort "the fresh folder already holds a settings file"
start_app

# The tray answers only after the dialog's initialisation, so the menu proves start-up is done.
items=$(tray_items) || abort "no tray menu after start-up"
tray_close
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

say "Configure, Apply"
hwnd=$(show_main) || abort "Configure did not show the main dialog"
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

say "Apply && Minimize hides the dialog and keeps the program running"
out=$(driver "find hwnd=$hwnd" "click 2") || fail "Apply && Minimize: $out"
wait_main_visible 0 || fail "Apply && Minimize did not hide the dialog"
sleep 0.3
app_alive || fail "the program ended after Apply && Minimize"
boxes=$(message_boxes)
[ -z "$boxes" ] || fail "dialog boxes after Apply: $boxes"

finish
