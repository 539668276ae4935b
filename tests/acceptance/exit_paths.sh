#!/usr/bin/env bash
# Every exit path - the "Exit Zerenta" button, the tray menu's "Exit Zerenta" and Ctrl+Alt+Numpad 0 -
# asks first: No keeps the program and the changed screen, Yes ends it with code 0 and puts the
# start-up mode and ramp back.
source "$(dirname "$0")/lib.sh"

use_settings two_favourites
cp "$setting" "$work/before.Setting"

start_and_change() {
  start_app
  change_through_favourites
}

# ask_exit PATH: brings up the exit question through one path; the driver waits for the box.
ask_exit() {
  case $1 in
    button)
      local hwnd
      hwnd=$(show_main) || { echo "Configure did not show the main dialog"; return 1; }
      driver "find hwnd=$hwnd" "click 1" >/dev/null || { echo "clicking Exit Zerenta failed"; return 1; } ;;
    tray)
      tray_choose 'Exit Zerenta\tCtrl + Alt + Numpad 0' || return 1 ;;
    hotkey)
      # Wine maps the keypad key to VK_NUMPAD0 only with Num Lock on; with it off the key is
      # VK_INSERT (KP_Insert) and the hotkey does not fire. xdotool turns Num Lock on itself for
      # KP_0, but only when it has to: switching it on first keeps the keysym unambiguous.
      numlock_on
      key_to_wine ctrl+alt+KP_0 ;;
  esac
  driver "wait title=Quiting visible" "texts Static ~= \"Do you really want to exit Zerenta?\"" >/dev/null ||
    { echo "no exit question after the $1"; return 1; }
}

for path in button tray hotkey; do
  say "exit through the $path"
  start_and_change || { fail "$path: could not change the screen"; stop_app; restore_screen; continue; }

  ask_exit "$path" || { fail "$path: no question"; stop_app; restore_screen; continue; }
  out=$(driver "wait title=Quiting visible" "click 7" "wait title=Quiting gone") || fail "$path: answering No: $out"
  sleep 0.5
  app_alive || fail "$path: the program ended after No"
  [ "$(screen_size)" = 800x600 ] || fail "$path: No changed the desktop size to $(screen_size)"
  [ "$(ramp)" = "$changed" ] || fail "$path: No changed the ramp to $(ramp)"

  ask_exit "$path" || { fail "$path: no question the second time"; stop_app; restore_screen; continue; }
  out=$(driver "wait title=Quiting visible" "click 6") || fail "$path: answering Yes: $out"
  wait_app_exit 20 || { fail "$path: the program did not end after Yes"; stop_app; }
  [ "$app_rc" = 0 ] || fail "$path: exit code ${app_rc:-none}"
  wait_for screen_size "$start_screen" || fail "$path: exit did not restore the desktop size"
  wait_for ramp "$start_ramp" || fail "$path: exit did not restore the ramp"
  restore_screen
done
cmp -s "$setting" "$work/before.Setting" || fail "exiting changed the settings file"

finish
