# Shared helpers of the acceptance journeys; sourced by each journey script, which is called as
#   <journey>.sh <bin dir of the win64 tree> <acctool.exe>
# The bin dir also gives the test driver; ZR_PACKAGE_ZIP, when set, gives the program itself.
# Outside a harness (no ZR_HARNESS) the journey re-runs itself inside a fresh tools/harness; a
# journey that sets acc_displays=2 before sourcing this file does so in a two-display harness
# unless it runs in one already.
# Every journey works in its own temp folder with copies of the program and its DLLs, so the
# settings file beside the program is the journey's own.
set -uo pipefail

acc_lib_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
acc_top=$(cd "$acc_lib_dir/../.." && pwd)
acc_displays=${acc_displays:-1}
if [ -z "${ZR_HARNESS:-}" ] || [ "${ZR_DISPLAYS:-1}" != "$acc_displays" ]; then
  exec "$acc_top/tools/harness" run --displays "$acc_displays" -- bash "$0" "$@"
fi
[ $# -ge 2 ] || { echo "usage: $0 <win64 bin dir> <acctool.exe>"; exit 2; }

bin=$(cd "$1" && pwd)
acctool_exe=$2
wine=${ZR_WINE:-/usr/lib/wine/wine64}
journey=$(basename "$0" .sh)
failures=0
work=$(mktemp -d "/tmp/zr-acceptance-$journey.XXXXXX")
app_pid=""
app_log=$work/app.log
setting=$work/Zerenta.Setting

say() { echo "$journey: $*"; }
fail() { echo "FAILED ($journey): $*"; failures=$((failures + 1)); }
# Ends the journey at once (the trap still restores the screen and ends the program).
abort() { fail "$*"; say "aborted"; exit 1; }
finish() {
  stop_app
  if [ "$failures" -eq 0 ]; then say "all passed"; else say "$failures failed"; fi
  [ "$failures" -eq 0 ]
  exit
}

# A Wine program may start Wine's desktop process (explorer.exe), which then inherits its output;
# so the tools write to a file, never to a pipe that would stay open as long as the desktop.
wine_tool() {
  local out=$work/tool.$BASHPID.out rc
  WINEDEBUG=-all "$wine" "$@" >"$out" 2>&1 <"${wine_stdin:-/dev/null}"; rc=$?
  tr -d '\r' <"$out"
  rm -f "$out"
  return $rc
}
# driver COMMAND...: zdriver.exe with one command per argument; "driver -" reads them from stdin.
driver() {
  if [ "${1:-}" = - ]; then
    local script=$work/script.$BASHPID
    cat >"$script"
    wine_stdin=$script wine_tool "$bin/zdriver.exe" -
    local rc=$?
    rm -f "$script"
    return $rc
  fi
  wine_tool "$bin/zdriver.exe" "$@"
}
acctool() { wine_tool "$acctool_exe" "$@"; }
# rect_of COMMAND...: "X Y W H" as the last "rect" among the driver commands prints it.
rect_of() { driver "$@" | sed -n 's/^ok rect "\([-0-9]* [-0-9]* [0-9]* [0-9]*\)".*/\1/p' | tail -1; }
# lv_rows ID [COMMAND...]: after the driver commands, the rows of list view ID in the main dialog
# $hwnd, one a line with the columns split by |.
lv_rows() {
  driver "find hwnd=$hwnd" "${@:2}" "lv-rows $1" | sed -n 's/^ok lv-rows "\(.*\)" count=.*$/\1/p' | sed 's/\\n/\n/g'
}

# The X server's gamma ramp witness: the native tree's gammaread, else built here from its source.
gammaread=${ZR_GAMMAREAD:-}
for g in "$gammaread" "$bin/../../native/tools/gammaread" "$acc_top/build/native/tools/gammaread"; do
  [ -n "$g" ] && [ -x "$g" ] && { gammaread=$g; break; }
done
if [ -z "$gammaread" ] || [ ! -x "$gammaread" ]; then
  gammaread=$work/gammaread
  cc -O1 -o "$gammaread" "$acc_top/tools/gammaread.c" -lXxf86vm -lX11 ||
    abort "no gammaread (build the native tree)"
fi

# With ZR_PACKAGE_ZIP the program comes from the package a user downloads, unzipped as a user
# would: a file missing from the package then fails the journey. Otherwise from the build tree.
if [ -n "${ZR_PACKAGE_ZIP:-}" ]; then
  [ -f "$ZR_PACKAGE_ZIP" ] || abort "no package $ZR_PACKAGE_ZIP (tools/package makes it)"
  unzip -q "$ZR_PACKAGE_ZIP" -d "$work/unzipped" || abort "cannot unzip $ZR_PACKAGE_ZIP"
  pkg_folder=$(find "$work/unzipped" -mindepth 1 -maxdepth 1 -type d)
  [ "$(wc -l <<<"$pkg_folder")" = 1 ] && [ -d "$pkg_folder" ] || abort "the package holds no single folder"
  cp "$pkg_folder"/* "$work"/ && rm -rf "$work/unzipped"
  for f in Zerenta.exe OrvelCore.dll Gorvane.dll Tessik.dll readme.txt LICENSE.txt; do
    [ -f "$work/$f" ] || abort "the package lacks $f"
  done
else
  cp "$bin"/Zerenta.exe "$bin"/OrvelCore.dll "$bin"/Gorvane.dll "$bin"/Tessik.dll "$work"/ ||
    abort "the program's files are missing in $bin"
fi

# debug_lines FILE: the OutputDebugString lines of a program run with Wine's warn+seh channel,
# as that channel logged them to FILE.
debug_lines() { grep -a 'OutputDebugStringA "' "$1" 2>/dev/null | sed 's/.*OutputDebugStringA "//; s/\\n"$//'; }

# ---- the program ----------------------------------------------------------------------------

# start_app [ARGS...]: starts the program in the journey's folder with these arguments; its
# output goes to app.log, with Wine's debug channels as app_winedebug names them (default none).
app_winedebug=-all
start_app() {
  [ -z "$app_pid" ] || stop_app
  (cd "$work" && WINEDEBUG=$app_winedebug exec "$wine" ./Zerenta.exe "$@" >>"$app_log" 2>&1) &
  app_pid=$!
}
# restart_app: the program ended, the screen put back, and the program started again.
restart_app() { stop_app; restore_screen; start_app; }
app_alive() { [ -n "$app_pid" ] && kill -0 "$app_pid" 2>/dev/null; }

# Ends exactly the process this journey started: TERM, then KILL after 5 s; with "hard" KILL at once.
stop_app() {
  [ -n "$app_pid" ] || return 0
  [ "${1:-}" = hard ] || { kill "$app_pid" 2>/dev/null; within 5 eval '! app_alive'; }
  kill -KILL "$app_pid" 2>/dev/null
  wait "$app_pid" 2>/dev/null
  app_pid=""
}

# zerenta ARGS...: a start of the program with a command, in the journey's folder, waited for (at
# most 90 s); sets rc, out and err.
rc="" out="" err=""
zerenta() {
  (cd "$work" && WINEDEBUG=-all timeout 90 "$wine" ./Zerenta.exe "$@" >"$work/cmd.out" 2>"$work/cmd.err" </dev/null)
  rc=$?
  out=$(tr -d '\r' <"$work/cmd.out")
  err=$(tr -d '\r' <"$work/cmd.err")
}

# ends_with CODE ARGS...: zerenta ARGS, which has to end with exit code CODE.
ends_with() {
  zerenta "${@:2}"
  [ "$rc" = "$1" ] || { fail "${*:2} ended with $rc, not $1: $err"; return 1; }
}

# wait_app_exit SECONDS: waits for the program to end and sets app_rc to its exit code;
# returns 1 (app_rc empty) when it is still running at the deadline. Not for a subshell.
app_rc=""
wait_app_exit() {
  app_rc=""
  within "$1" eval '! app_alive' || return 1
  wait "$app_pid"; app_rc=$?
  app_pid=""
}

# The main dialog: "HWND VISIBLE" whether it is shown or parked under its hidden parent.
# Waits (bounded) until the program has one; the tray's menu callback answers only after the
# dialog's initialisation (settings loaded), so callers that need that wait for the menu.
main_or_end() { main=$(acctool main) || { main=""; ! app_alive; }; }
main_dialog() {
  local main
  within 30 main_or_end ||
    { echo "no main dialog after 30 s; windows: $(acctool windows | grep -c .) top-level"; return 1; }
  [ -n "$main" ] || { echo "the program ended"; return 1; }
  echo "$main"
}

# wait_main_visible 0|1: waits (10 s) until the main dialog is hidden (0) or shown (1).
main_visible() { local m; m=$(acctool main) && echo "${m#* }"; }
wait_main_visible() { wait_for main_visible "$1"; }

# expected_file NAME: the committed expected settings file with the program's version filled in
# (the version resource is made from the project's VERSION in the top CMakeLists.txt).
expected_file() {
  local version
  version=$(sed -n 's/^project(Zerenta VERSION \([0-9.]*\).*/\1/p' "$acc_top/CMakeLists.txt")
  sed "s/@VERSION@/$version/" "$acc_lib_dir/expected/$1" >"$work/expected.$1"
  echo "$work/expected.$1"
}

# use_settings NAME: the journey starts from the settings file given/NAME.Setting (as written by
# hand: CRLF line ends, no BOM, no line end after the last tag).
use_settings() { cp "$acc_lib_dir/given/$1.Setting" "$setting"; }

# same_file ACTUAL EXPECTED WHAT: byte comparison; on a difference prints both and fails.
same_file() {
  cmp -s "$1" "$2" && return 0
  fail "$3 differs from the expected file:"
  diff <(od -c "$2") <(od -c "$1") | head -20
  return 1
}

main_hwnd() { local m; m=$(main_dialog) || return 1; echo "${m%% *}"; }

show_main() {
  local hwnd out
  hwnd=$(main_hwnd) || return 1
  acctool command 32772 || { echo "cannot post Configure" >&2; return 1; }
  out=$(driver "wait hwnd=$hwnd visible") || { echo "$out" >&2; return 1; }
  echo "$hwnd"
}

# apply_settings: Apply in the main dialog, shown or not; waits (5 s) until the settings file is
# written anew, then a moment for the write to end.
settings_rewritten() { [ -f "$setting" ] && ! cmp -s "$setting" "$work/before-apply"; }
apply_settings() {
  cp "$setting" "$work/before-apply" 2>/dev/null || : >"$work/before-apply"
  acctool command 1030 || { echo "cannot post Apply"; return 1; }
  within 5 settings_rewritten
  sleep 0.3
}

# wait_balloon GREP-ARGUMENTS...: waits (10 s) until the balloon tooltips of other processes, as
# acctool prints them ("<visible> <title>|<text>"), match `grep -q GREP-ARGUMENTS`; sets
# `balloons` to what it saw last.
balloons=""
balloon_seen() { balloons=$(acctool balloon); grep -q "$@" <<<"$balloons"; }
wait_balloon() { within 10 balloon_seen "$@"; }

# Every visible dialog box other than the main dialog (message boxes, a crash dialog), one a
# line as "title|static texts"; empty when there is none.
message_boxes() { acctool boxes || true; }
# no_boxes WHAT [SECONDS]: fails when such a box is open, or comes up within SECONDS.
no_boxes() {
  local out
  out=$(holds_for "${2:-0}" message_boxes "") || { fail "$1: dialog boxes: $out"; return 1; }
}

# within SECONDS COMMAND...: runs the command every 0.1 s until it succeeds; 1 when it never did.
within() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.1
  done
}

# hold ACCTOOL-ARGS...: another program (acctool holdkey, holdplace) holds something until
# release; waits until it says so.
holder=""
hold() {
  local out=$work/holder.out
  : >"$out"
  WINEDEBUG=-all "$wine" "$acctool_exe" "$@" >"$out" 2>&1 &
  holder=$!
  within 10 grep -q . "$out"
  [ "$(tr -d '\r' <"$out")" = held ] || abort "acctool $* holds nothing: $(cat "$out")"
}
release() {
  [ -n "$holder" ] || return 0
  kill "$holder" 2>/dev/null
  wait "$holder" 2>/dev/null
  holder=""
}

# ---- the tray menu --------------------------------------------------------------------------

# tray_items: opens the tray menu and prints its items, one a line (tab as \t); the menu stays open.
# Waits (40 s) for the menu while the program runs.
menu_or_end() { acctool traymenu >/dev/null && menu=$(driver "timeout 2000" menu | grep '^ok menu ') || ! app_alive; }
tray_items() {
  local menu=""
  within 40 menu_or_end && [ -n "$menu" ] || return 1
  menu=${menu#ok menu \"}
  menu=${menu%\"*}
  awk 'BEGIN { RS = "|" } { sub(/\n$/, ""); print }' <<<"$menu"
}

tray_close() { driver "menu-close" >/dev/null 2>&1; }

# tray_read: the tray menu's items as tray_items prints them, with the menu closed again.
tray_read() { tray_items || return 1; tray_close || :; }

# tray_entries: opens the tray menu, prints the driver's line for each item ('ok menu-item "TEXT"
# id=ID flags=...') and closes the menu again.
tray_entries() {
  local items
  items=$(tray_items) || return 1
  seq 0 $(($(wc -l <<<"$items") - 1)) | sed 's/^/menu-item /' | driver -
  tray_close || :
}
# tray_checked: the tray items that carry a check mark, one a line (tab as \t).
tray_checked() { tray_entries | sed -n 's/^ok menu-item "\(.*\)" id=[0-9]* flags=\(.*,\)\{0,1\}checked.*/\1/p'; }

# tray_choose TEXT [COMMAND...]: picks the tray item with exactly this text, then runs the driver
# commands given in the same driver process; prints the menu when the item is missing.
tray_choose() {
  local items index out
  items=$(tray_items) || { echo "no tray menu"; return 1; }
  # ENVIRON keeps awk from turning the wanted \t into a tab.
  index=$(WANT=$1 awk '$0 == ENVIRON["WANT"] { print NR - 1; exit }' <<<"$items")
  [ -n "$index" ] || { tray_close; echo "tray menu lacks '$1'; it holds: $(tr '\n' '|' <<<"$items")"; return 1; }
  out=$(driver "menu-choose $index" "${@:2}") || { echo "after menu-choose $index: $(tail -1 <<<"$out")"; return 1; }
}

# exit_by_tray: Exit Zerenta from the tray and Yes to the question; the program ends (20 s).
# Prints what went wrong. Not for a subshell.
exit_by_tray() {
  local out
  tray_choose 'Exit Zerenta\tCtrl + Alt + Numpad 0' || return 1
  out=$(driver "wait title=Quiting visible" "click 6") || { echo "exit question: $out"; return 1; }
  wait_app_exit 20 || { echo "the program did not end after Yes"; return 1; }
}

# A mode chosen from the tray is put to the user in this box before it stays; keep_mode answers Keep.
mode_box_title='Zerenta - Display Mode'
keep_mode=("wait title=\"$mode_box_title\" visible" "click 1" "wait title=\"$mode_box_title\" gone")
# tray_choose_size TEXT SIZE [COMMAND...]: picks a favourite mode and waits until the desktop has
# that size, then runs the driver commands. tray_choose_mode then answers the box with Keep, as a
# user who sees the new mode does.
tray_choose_size() { settle_on "$2"; tray_choose "$1" "${settle[@]}" "${@:3}"; }
tray_choose_mode() { tray_choose_size "$1" "$2" "${keep_mode[@]}"; }

# ---- the screen -----------------------------------------------------------------------------

# The tray texts of given/two_favourites.Setting's favourite mode (800 x 600) and gamma ("Dim").
fav_mode_item='[4:3]\t800 x 600 32bpp 60Hz'
fav_gamma_item='Dim\tRGB: 30, 30, 30  CrBr: 0, 100'

# change_through_favourites: the program, started unless it runs, changes the screen through both
# favourites from the tray; sets "changed" to the ramp they left.
changed=""
change_through_favourites() {
  app_alive || start_app
  tray_choose_mode "$fav_mode_item" 800x600 || return 1
  tray_choose "$fav_gamma_item" || return 1
  changed=$(new_ramp) || { echo "the favourite gamma did not change the ramp"; return 1; }
}

# has_recovery: "yes" while the record of the screen to put back lies beside the program, else "no".
has_recovery() { [ -f "$work/Zerenta.Recovery" ] && echo yes || echo no; }
# ramp: the server's ramp at entries 0, 1, 128 and 255 as one line.
ramp() { "$gammaread" 0 1 128 255 | sed -n '2,4p' | tr '\n' '/' | sed 's|/$||; s|/| / |g'; }
# new_ramp: waits (5 s) until the ramp differs from the start-up one, and a moment longer for
# the write to end; prints that ramp, or returns 1 when it stayed.
ramp_changed() { [ "$(ramp)" != "$start_ramp" ]; }
new_ramp() {
  within 5 ramp_changed || return 1
  sleep 0.3
  ramp
}
screen_size() { driver "screen" | sed -n 's/^ok screen "\{0,1\}\([0-9x]*\)"\{0,1\}.*/\1/p'; }
# output_mode OUTPUT: the size the X server shows on one output ("1024x768"), as xrandr reports it.
output_mode() {
  timeout 5 xrandr -display "$DISPLAY" 2>/dev/null |
    sed -n "s/^$1 connected \(primary \)\{0,1\}\([0-9]*x[0-9]*\)+.*/\2/p"
}
# settle_on SIZE [SECONDS]: sets `settle` to driver commands that wait (default 10 s) until the
# desktop has SIZE ("800x600") and Wine's desktop window has followed. Run them in the driver
# process that makes the change happen, or in one started before it: here a mode change now and
# then did not stick when new Wine processes started while the virtual desktop still followed it.
settle=()
settle_on() {
  settle=("timeout $(( ${2:-10} * 1000 ))" "until screen == $1" "desktop" "until rect . == \"0 0 ${1/x/ }\"")
}

# shows WHAT WANT: "$(WHAT)" prints WANT; sets `seen` to what it printed.
shows() { seen=$($1); [ "$seen" = "$2" ]; }
# wait_for WHAT WANT [SECONDS]: waits until "$(WHAT)" prints WANT; prints what it saw on a time-out.
wait_for() {
  local seen
  within "${3:-10}" shows "$1" "$2" && return 0
  echo "$1 is '$seen', expected '$2'"
  return 1
}

# wait_since T0 LIMIT WHAT WANT: waits until "$(WHAT)" prints WANT, at most LIMIT seconds (a
# fraction allowed) after the moment T0 (date +%s.%N); prints the seconds it took, or what it saw.
wait_since() {
  local seen
  until shows "$3" "$4"; do
    over "$1" "$2" && { echo "$3 is '$seen' after $(since "$1") s, expected '$4'"; return 1; }
    sleep 0.05
  done
  since "$1"
}
# since T0: the seconds since the moment T0 (date +%s.%N); over T0 LIMIT: more than LIMIT have passed.
since() { awk -v a="$1" -v b="$(date +%s.%N)" 'BEGIN { printf "%.2f\n", b - a }'; }
over() { awk -v a="$1" -v b="$(date +%s.%N)" -v l="$2" 'BEGIN { exit !(b - a > l) }'; }

# holds_for SECONDS WHAT WANT: "$(WHAT)" prints WANT at every look for SECONDS (a fraction
# allowed); prints what it saw and returns 1 at the first look that differs.
holds_for() {
  local t0 seen
  t0=$(date +%s.%N)
  while shows "$2" "$3"; do
    over "$t0" "$1" && return 0
    sleep 0.1
  done
  echo "$2 is '$seen', expected '$3'"
  return 1
}

# key_to_wine KEYS...: xdotool key presses that reach Wine. The keys go to the X input focus,
# so Wine's virtual desktop window gets the focus first (there is no window manager); without a
# virtual desktop (two displays), the program's visible main window does.
key_to_wine() {
  local w
  w=$(timeout 5 xdotool search --name 'Wine desktop' 2>/dev/null | head -1)
  [ -n "$w" ] || w=$(timeout 5 xdotool search --onlyvisible --name '^Zerenta$' 2>/dev/null | head -1)
  [ -n "$w" ] && timeout 5 xdotool windowfocus "$w" 2>/dev/null
  sleep 0.2
  timeout 5 xdotool key "$@"
}

# Num Lock on in the X server (Wine reads the keypad's digits only with it).
# The cleanup switches it off again when a journey switched it on.
numlock_switched=0
numlock_state() { timeout 5 xset -display "$DISPLAY" q 2>/dev/null | grep -q 'Num Lock: *on'; }
numlock_on() {
  numlock_state && return 0
  timeout 5 xdotool key Num_Lock && numlock_switched=1
}

# set_dpi DPI: the DPI that Wine gives the programs started from now on (LogPixels of the
# prefix's user, read as a process starts). The journey's cleanup takes the value out again, so
# that later journeys in the same prefix run at Wine's 96 DPI.
dpi_set=0
set_dpi() {
  dpi_set=1
  wine_tool reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null
}

# screen_shot FILE [CROP] [HWND]: the X server's picture (CROP as import takes it, WxH+X+Y) as the
# program has drawn it. The window HWND, when given, first paints what waits to be painted; Wine
# puts a window's new picture on the X server a moment after the program drew it, so the picture
# is taken again until three in a row are the same (at most 5 s). FILE's extension picks the format.
screen_shot() {
  local file=$1 crop=${2:-} hwnd=${3:-} i same=0 deadline=$((SECONDS + 5))
  [ -n "$hwnd" ] && driver "find hwnd=$hwnd" "paint" >/dev/null
  import -window root -display "$DISPLAY" ${crop:+-crop "$crop"} "$work/shot.0.ppm" || return 1
  for i in $(seq 1 200); do
    import -window root -display "$DISPLAY" ${crop:+-crop "$crop"} "$work/shot.1.ppm" || return 1
    if cmp -s "$work/shot.0.ppm" "$work/shot.1.ppm"; then same=$((same + 1)); else same=0; fi
    mv "$work/shot.1.ppm" "$work/shot.0.ppm"
    [ "$same" -ge 2 ] || [ "$SECONDS" -ge "$deadline" ] && break
  done
  convert "$work/shot.0.ppm" "$file" && rm -f "$work/shot.0.ppm"
}

# shows_as_drawn HWND ID [COMMAND...]: runs the driver commands (an action, say "click 1030") in
# the program's window HWND, then checks that its control ID shows on the screen, from that moment
# on, what it draws when painted anew from scratch: nothing on it is left from an earlier picture.
# On a difference prints how many pixels differ and keeps both pictures in /tmp.
shows_as_drawn() {
  local hwnd=$1 id=$2 x y w h n out
  read -r x y w h <<<"$(rect_of "find hwnd=$hwnd" "rect $id")"
  [ -n "${h:-}" ] || { echo "no control $id in window $hwnd"; return 1; }
  [ $# -le 2 ] || out=$(driver "find hwnd=$hwnd" "${@:3}") || { echo "$out"; return 1; }
  screen_shot "$work/shown.ppm" "${w}x$h+$x+$y" "$hwnd" || { echo "no screenshot"; return 1; }
  driver "find hwnd=$hwnd" "repaint $id" >/dev/null || { echo "cannot repaint control $id"; return 1; }
  screen_shot "$work/drawn.ppm" "${w}x$h+$x+$y" "$hwnd" || { echo "no screenshot"; return 1; }
  cmp -s "$work/shown.ppm" "$work/drawn.ppm" && return 0
  n=$(compare -metric AE "$work/shown.ppm" "$work/drawn.ppm" /dev/null 2>&1)
  cp "$work/shown.ppm" "/tmp/$journey-shown.ppm" 2>/dev/null
  cp "$work/drawn.ppm" "/tmp/$journey-drawn.ppm" 2>/dev/null
  echo "$n pixels differ from the control drawn anew (/tmp/$journey-shown.ppm, /tmp/$journey-drawn.ppm)"
  return 1
}

# window_inside SELECTOR...: the rectangle of the window the driver selectors name lies wholly on
# the primary screen; prints what it saw when not.
window_inside() {
  local x y w h sw sh
  read -r x y w h <<<"$(rect_of "$@" "rect")"
  IFS=x read -r sw sh <<<"$(screen_size)"
  [ -n "${h:-}" ] && [ -n "${sh:-}" ] || { echo "no rectangle for $*, or no screen size"; return 1; }
  [ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + w)) -le "$sw" ] && [ $((y + h)) -le "$sh" ] && return 0
  echo "at $x,$y size ${w}x$h on a ${sw}x$sh screen"
  return 1
}

# Puts the desktop back to the registry's mode and the ramp to the identity.
restore_screen() {
  acctool restoremode >/dev/null 2>&1
  if [ "$acc_displays" = 2 ]; then
    timeout 5 xrandr -display "$DISPLAY" --output DUMMY0 --mode 1280x1024 --output DUMMY1 --mode 1024x768 \
      --right-of DUMMY0 >/dev/null 2>&1
  fi
  timeout 5 xgamma -display "$DISPLAY" -quiet -gamma 1 >/dev/null 2>&1
}

acc_cleanup() {
  stop_app
  restore_screen
  [ "$dpi_set" = 1 ] && wine_tool reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null
  [ "$numlock_switched" = 1 ] && numlock_state && timeout 5 xdotool key Num_Lock
  if [ "$failures" -ne 0 ] && [ -s "$app_log" ]; then
    echo "--- program output:"; tail -20 "$app_log"
  fi
  release
  [ -n "${protected_file:-}" ] && chattr -i "$protected_file" 2>/dev/null
  chmod -R u+w "$work" 2>/dev/null
  rm -rf "$work"
}
trap acc_cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# The journeys share one Wine prefix: a copy of the program that an earlier journey ended may
# still be going down, and its main dialog would be taken for this journey's.
no_copy_left() { ! acctool mains >/dev/null; }
within 10 no_copy_left || abort "a copy of the program from before is still running: $(acctool mains)"
restore_screen
start_ramp=$(ramp)
start_screen=$(screen_size)
[ -n "$start_ramp" ] || abort "gammaread cannot read the ramp of $DISPLAY"
[ -n "$start_screen" ] || abort "zdriver cannot read the screen size"
