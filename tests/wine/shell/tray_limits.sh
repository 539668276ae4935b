#!/usr/bin/env bash
# A hand-edited settings file with 250 gamma favourites. The tray numbers 100 items per page, so
# the gamma page offers its first 99 favourites and then "Reset default gamma", all under its own
# ids; choosing the last favourite and then the reset entry work, and the saver blocker's switch
# keeps its id. Driven through the program's real tray menu.
#   tray_limits.sh <win64 bin dir> <acctool.exe>
source "$(dirname "$0")/../../acceptance/lib.sh"

# Favourite n: red gamma 10 + n mod 80, the rest neutral.
red() { echo $((10 + $1 % 80)); }
{
  printf '%s\r\n' '<?xml version="1.0" encoding="utf-8"?>' '<Zerenta version="1.0.0.0" >' \
    $'\t<Gamma>' $'\t\t<Favourite_Gammas>'
  for n in $(seq 1 250); do
    printf '\t\t\t<Item R="%d" G="50" B="50" Contrast="0" Brightness="100" HiClamping="255" LoClamping="0" >Fav%03d</Item>\r\n' \
      "$(red "$n")" "$n"
  done
  printf '%s\r\n' $'\t\t</Favourite_Gammas>' $'\t</Gamma>'
  printf '</Zerenta>'
} >"$setting"

start_app
items=$(tray_items) || abort "no tray menu"
# Item index, id and text of every entry, one a line: "index id text".
listing=$(for ((i = 0; i < $(wc -l <<<"$items"); i++)); do echo "menu-item $i"; done | driver - |
          sed -n 's/^ok menu-item "\(.*\)" id=\([0-9]*\).*/\2 \1/p' | awk '{ print NR - 1, $0 }')
tray_close

# In menu order, the ids from the gamma page's to the blocker's: the gamma page's 100, then the
# blocker's switch alone, with nothing under the calculator's ids between.
ids=$(awk '$2 >= 10100 && $2 <= 11000 { print $2 }' <<<"$listing" | tr '\n' ' ')
[ "$ids" = "$(seq -s ' ' 10100 10199) 10300 " ] || fail "the ids from 10100 to 11000 in menu order: $ids"
text_of() { awk -v id="$1" '$2 == id { sub(/^[0-9]+ [0-9]+ /, ""); print }' <<<"$listing"; }
fav99=$(text_of 10198)
[ "${fav99%%\\t*}" = Fav099 ] || fail "id 10198 is '$fav99', wanted the 99th favourite"
[ "$(text_of 10199)" = "Reset default gamma" ] || fail "id 10199 is '$(text_of 10199)', wanted the reset entry"
[[ "$(text_of 10300)" == *"Saver Blocker is OFF"* ]] || fail "id 10300 is '$(text_of 10300)', wanted the blocker's switch"

hwnd=$(main_hwnd) || abort "no main dialog"
say "the 99th favourite sets its red gamma"
tray_choose "$fav99" || fail "choosing the 99th favourite"
out=$(driver "desktop" "child hwnd=$hwnd" "until tb-pos 1016 == $(red 99)") || fail "the 99th favourite was not applied: $out"
for i in $(seq 1 50); do [ "$(ramp)" != "$start_ramp" ] && break; sleep 0.1; done
[ "$(ramp)" != "$start_ramp" ] || fail "the 99th favourite left the ramp as it was"

say "Reset default gamma puts back the neutral ramp"
tray_choose 'Reset default gamma' || fail "choosing the reset entry"
out=$(driver "desktop" "child hwnd=$hwnd" "until tb-pos 1016 == 50") || fail "the reset entry was not applied: $out"
wait_for ramp "$start_ramp" || fail "the reset entry did not restore the ramp"

finish
