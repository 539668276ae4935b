#!/usr/bin/env bash
# A settings file that cannot be written: Apply, and Apply && Minimize (which still hides the
# dialog), show the warning box naming the file and the reason; the old file stays as it was and no temporary file is left. Called with a third
# argument naming how the file is protected:
#   immutable   the Unix immutable flag (chattr +i): the replacing rename fails under Wine
#   attribute   the read-only attribute (attrib +r through Wine's cmd, which clears the write
#               bits; a plain chmod a-w is the same thing to Wine). Windows' MoveFileExW refuses
#               to replace such a file; Wine 8's renames over it, so the program has to look
#               at the attribute itself for this case to pass under Wine.
source "$(dirname "$0")/lib.sh"
how=${3:-immutable}

use_settings read_only
cp "$setting" "$work/before.Setting"
winpath=$(wine_tool winepath -w "$setting")
[ -n "$winpath" ] || abort "winepath gave no Windows path"

case $how in
  immutable)
    chattr +i "$setting" || abort "chattr +i is not supported here"
    protected_file=$setting ;;
  attribute)
    wine_tool cmd /c attrib +r "$winpath" >/dev/null
    attrs=$(wine_tool cmd /c attrib "$winpath")
    [[ "$attrs" == *R*Zerenta.Setting* ]] || abort "attrib +r did not set the attribute: $attrs" ;;
  *) abort "unknown protection $how" ;;
esac

start_app
tray_read >/dev/null || abort "no tray menu"
hwnd=$(show_main) || abort "Configure did not show the main dialog"
out=$(driver "find hwnd=$hwnd" "click 1030") || fail "Apply: $out"

# The warning is the message box owned by the main dialog.
out=$(driver "timeout 5000" "wait class=#32770 title~=Zerenta owner=$hwnd visible" "texts Static") ||
  abort "no warning box after Apply: $out"
texts=$(sed -n 's/^ok texts "\(.*\)"$/\1/p' <<<"$out")
say "warning: $texts"
[[ "$texts" == *'The settings could not be saved to\n'"${winpath//\\/\\\\}"'\n\n'?* ]] ||
  fail "the warning does not name the file and a reason: $texts"
driver "wait class=#32770 title~=Zerenta owner=$hwnd visible" "click 1" >/dev/null
out=$(driver "timeout 3000" "find hwnd=$hwnd" "visible . == 1") || fail "main dialog after OK: $out"
# Apply && Minimize warns the same way and still hides the dialog.
out=$(driver "find hwnd=$hwnd" "click 2" "wait class=#32770 title~=Zerenta owner=$hwnd visible" "click 1") ||
  fail "Apply && Minimize: no warning: $out"
wait_main_visible 0 || fail "Apply && Minimize did not hide the dialog after the warning"
app_alive || fail "the program ended after the warning"

same_file "$setting" "$work/before.Setting" "the protected settings file"
leftovers=$(cd "$work" && ls Zerenta.Setting?* 2>/dev/null)
[ -z "$leftovers" ] || fail "files left beside the settings file: $leftovers"

finish
