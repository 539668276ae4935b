#!/usr/bin/env bash
# The window on small and on dense screens. At 96 DPI every column of both mode lists and of the
# gamma favourites is at least as wide as its widest text (LVM_GETCOLUMNWIDTH against
# LVM_GETSTRINGWIDTH, header included); after a switch to 640 x 480 from the tray the question
# "Keep this display mode?" and the shown window lie wholly on the screen. WM_DPICHANGED, as
# Windows sends it when the window moves onto a monitor of 144 DPI, gives the window the
# suggested rectangle and lays it out again in larger text, the columns still fitting. Then the
# program again at 144 DPI (the prefix's LogPixels): the lists fit, and after a switch to
# 1024 x 768 the window, which stood partly beyond that size, is back on the screen.
# With ZR_SHOTS_DIR set, every tab at 96 and at 144 DPI is written there (the README's pictures).
source "$(dirname "$0")/lib.sh"

item_640='[4:3]\t640 x 480 32bpp 60Hz'
item_1024='[4:3]\t1024 x 768 32bpp 60Hz'
use_settings screen_fit

# A column may not end closer to its text than this: the list view draws a few pixels of margin,
# and the row of the mode in force is drawn in bold, which LVM_GETSTRINGWIDTH does not measure.
margin=6

# lists_fit WHAT: no column of the two mode lists or of the gamma favourites is narrower than
# its widest text; leaves the Resolution tab shown.
lists_fit() {
  local out
  out=$(driver "find hwnd=$hwnd" "tab-select 1029 0" "until lv-count 1036 > 0" "lv-fit 1036 $margin == 0" \
               "lv-fit 1034 $margin == 0" "tab-select 1029 1" "until lv-count 1036 == 2" "lv-fit 1036 $margin == 0" \
               "tab-select 1029 0") || fail "$1: a column is narrower than its text: $(tail -1 <<<"$out")"
}

# shots DPI: each tab as the user sees it, into ZR_SHOTS_DIR.
shots() {
  [ -n "${ZR_SHOTS_DIR:-}" ] || return 0
  local x y w h n=0 name
  read -r x y w h <<<"$(rect_of "find hwnd=$hwnd" "foreground" "rect")"
  for name in resolution gamma calculator blocker; do
    driver "find hwnd=$hwnd" "tab-select 1029 $((n++))" >/dev/null
    screen_shot "$ZR_SHOTS_DIR/dpi$1-$name.png" "${w}x$h+$x+$y" "$hwnd"
  done
  driver "find hwnd=$hwnd" "tab-select 1029 0" >/dev/null
}

# switch_keeps_on_screen ITEM SIZE: the favourite from the tray, with the window shown; the
# question and the window lie on the screen of the new size; Revert puts the desktop back.
switch_keeps_on_screen() {
  local out
  tray_choose_size "$1" "$2" "wait title=\"$mode_box_title\" visible" ||
    { fail "the switch to $2 brought no question"; return; }
  out=$(window_inside "find title=\"$mode_box_title\"") || fail "the question after the switch to $2 is off the screen: $out"
  out=$(window_inside "find hwnd=$hwnd") || fail "the window after the switch to $2 is off the screen: $out"
  settle_on "$start_screen"
  out=$(driver "find title=\"$mode_box_title\"" "click 2" "${settle[@]}") || fail "Revert after $2: $(tail -1 <<<"$out")"
}

# needed LIST: the text width (LVM_GETSTRINGWIDTH) the first column of a visible list needs.
needed() { driver "find hwnd=$hwnd" "tab-select 1029 0" "lv-fit $1" | sed -n 's/^ok lv-fit "[0-9]*" [0-9]*\/\([0-9]*\).*/\1/p'; }
size_of() { driver "find hwnd=$hwnd" "rect" | sed -n 's/^ok rect "[0-9-]* [0-9-]* \([0-9]*\) \([0-9]*\)".*/\1 \2/p'; }

say "96 DPI: the lists fit their texts"
start_app
hwnd=$(show_main) || abort "Configure did not show the main dialog"
lists_fit "96 DPI"
shots 96

say "96 DPI: after a switch to 640 x 480 the question and the window are on the screen"
switch_keeps_on_screen "$item_640" 640x480

say "WM_DPICHANGED to 144 DPI: the suggested rectangle, larger text, fitting columns"
read -r w96 h96 <<<"$(size_of)"
text96=$(needed 1034)
out=$(driver "find hwnd=$hwnd" "dpi-change 144 96")
suggested=$(sed -n 's/^ok dpi-change "\(.*\)"$/\1/p' <<<"$out")
[ -n "$suggested" ] || abort "WM_DPICHANGED could not be sent: $out"
out=$(driver "find hwnd=$hwnd" "rect == \"$suggested\"") || fail "the window did not take the suggested rectangle: $out"
text144=$(needed 1034)
[ "${text96:-0}" -gt 0 ] && [ "${text144:-0}" -ge $(( text96 * 13 / 10 )) ] ||
  fail "the favourites' text did not grow with the DPI: ${text96:-?} px at 96, ${text144:-?} px after"
lists_fit "after WM_DPICHANGED"
out=$(driver "find hwnd=$hwnd" "dpi-change 96 144")
read -r w h <<<"$(size_of)"
[ "$w $h" = "$w96 $h96" ] || fail "back at 96 DPI the window is ${w}x$h, was ${w96}x$h96"
stop_app

say "144 DPI: the lists fit their texts"
set_dpi 144 || abort "cannot set the prefix's DPI"
start_app
hwnd=$(show_main) || abort "Configure did not show the main dialog at 144 DPI"
read -r w h <<<"$(size_of)"
[ "${w:-0}" -ge $((w96 * 14 / 10)) ] || fail "at 144 DPI the window is ${w}x$h, at 96 DPI ${w96}x$h96"
lists_fit "144 DPI"
shots 144

say "144 DPI: after a switch to 1024 x 768 the question and the window are on the screen"
switch_keeps_on_screen "$item_1024" 1024x768

finish
