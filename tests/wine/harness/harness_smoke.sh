#!/usr/bin/env bash
# Smoke test of the whole chain: Xorg (dummy driver) -> wine64 -> the program's windows and the
# X server's gamma ramp. Usage: harness_smoke.sh <bin dir of the win64 tree> [gammaread]
# Runs inside a harness's environment; outside one it starts a private harness for itself.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../../.." && pwd)
if [ -z "${ZR_HARNESS:-}" ]; then
  exec "$top/tools/harness" run -- bash "$0" "$@"
fi
bin=$1
gammaread=${ZR_GAMMAREAD:-${2:-}}
wine=${ZR_WINE:-/usr/lib/wine/wine64}
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
driver() { "$wine" "$bin/zdriver.exe" "$@"; }

probe_pid=""
cleanup() { [ -n "$probe_pid" ] && kill "$probe_pid" 2>/dev/null; }
trap cleanup EXIT

echo "== the driver works each kind of control of the probe window (script on stdin)"
"$wine" "$bin/harness_probe.exe" &
probe_pid=$!
driver <<'SCRIPT' || fail "driver script on the probe window"
wait class=HarnessProbe title="Harness Probe" visible
save probe
text 101 == start
click 102
until text 110 == pressed
lb-items 103 == "alpha|beta|gamma"
lb-select 103 2
until text 110 == "list 2"
lv-count 104 == 3
lv-rows 104 == "1280 x 1024|5:4\n1024 x 768|4:3\n800 x 600|4:3"
lv-select 104 1
until text 110 == "row 1"
lv-selected 104 == 1
lv-check 104 2 1
lv-checked 104 2 == 1
lv-checked 104 0 == 0
notify 104 NM_DBLCLK 2
until text 110 == "double 2"
tab-text 105 2 == Three
tab-select 105 1
tab-current 105 == 1
until text 110 == "tab 1"
tb-range 106 == "0 100"
tb-set 106 73
until text 110 == "scroll track,end 73"
settext 101 "two words"
until text 110 == "edit two words"
# The popup menu: read, choose by text, choose by index past a separator, close.
command 200
menu == "&First|-|Second|Third"
menu-item 2 == Second
menu-choose First
until text 110 == "menu 301"
command 200
menu-choose 3
until text 110 == "menu 303"
command 200
menu-close
until text 110 == "menu 0"
# A message box the probe owns: found by class and process, read, answered.
command 201
wait class=#32770 exe=harness_probe.exe visible
texts ~= "Probe question"
click 6
wait class=#32770 exe=harness_probe.exe gone
use probe
until text 110 == "answer 6"
SCRIPT

echo "== a failed expectation and a bounded wait fail with what was seen"
out=$(driver "timeout 300" "find class=HarnessProbe visible=1" "text 101 == nonsense")
rc=$?
[ $rc = 1 ] && grep -q 'FAIL text: expected == "nonsense", saw "two words"' <<<"$out" || fail "failed expectation: rc=$rc out=$out"
out=$(driver "timeout 300" "wait class=NoSuchClass visible")
rc=$?
[ $rc = 1 ] && grep -q 'FAIL wait: no window class=NoSuchClass is visible after 300 ms; visible windows: .*HarnessProbe' <<<"$out" ||
  fail "bounded wait: rc=$rc out=$out"

echo "== the virtual desktop is 1280x1024"
driver "desktop" "screen == 1280x1024" "rect == \"0 0 1280 1024\"" || fail "desktop"

if command -v import >/dev/null; then
  import -display "$DISPLAY" -window root harness_smoke.png && echo "screenshot: $(pwd)/harness_smoke.png"
fi
driver "find class=HarnessProbe visible=1" "close" || fail "closing the probe"
wait "$probe_pid" || fail "the probe exited with $?"
probe_pid=""

echo "== a message box of a process that has no window of its own; its answer is the exit code"
"$wine" "$bin/harness_probe.exe" msgbox "Hello from the probe" &
box_pid=$!
driver "wait class=#32770 title=Probe visible" "texts == \"Hello from the probe\"" "click 2" || fail "message box"
wait "$box_pid"
rc=$?
[ $rc = 2 ] || fail "the message box returned $rc, expected IDCANCEL (2)"

echo "== SetDeviceGammaRamp under wine64 reaches the X server's ramp"
if [ -z "$gammaread" ] || [ ! -x "$gammaread" ]; then
  fail "gammaread not found at '$gammaread' (build the native tree or set ZR_GAMMAREAD)"
else
  xgamma -display "$DISPLAY" -quiet -gamma 1
  before=$("$gammaread" 0 128 255 | sed -n 2p)
  [ "$before" = "red 0 32896 65535" ] || fail "identity ramp reads '$before'"
  "$wine" "$bin/harness_probe.exe" gamma || fail "SetDeviceGammaRamp refused the ramp"
  # Entry i is (i*i/255)*257: 0, 64*257, 255*257.
  after=$("$gammaread" 0 128 255)
  [ "$after" = $'size 256\nred 0 16448 65535\ngreen 0 16448 65535\nblue 0 16448 65535' ] || fail "ramp after the change: $after"
  xgamma -display "$DISPLAY" -quiet -gamma 1
  [ "$("$gammaread" 128 | sed -n 2p)" = "red 32896" ] || fail "xgamma -gamma 1 did not restore the ramp"
fi

if [ $failures -gt 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all harness checks passed"
