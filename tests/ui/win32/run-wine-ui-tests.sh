#!/bin/sh
# The Win32 windows under Wine in Xvfb, in a private network namespace where the retailer's host is
# 127.0.0.1 and a loopback server records the browser's request; a fresh prefix, removed after:
#   run-wine-ui-tests.sh TEST_WIN32_WINDOWS_EXE TAVRIX_EXE TAVRIX_REPORT_EXE TAVRIX_PROBE_EXE SOURCE_DIR
# The real tavrix.exe is driven with the mouse (xdotool clicks); tavrix_probe.exe reads what it
# shows and the Windows clipboard, and stands in for the chat's browser.
set -eu

if [ "${TAVRIX_UI_NAMESPACE:-}" != 1 ]; then
  command -v wine >/dev/null || { echo "wine is not installed: run scripts/install-deps.sh"; exit 1; }
  # An ordinary user gets the namespaces inside a user namespace of its own, as root there.
  [ "$(id -u)" = 0 ] && as_root= || as_root=--map-root-user
  exec env TAVRIX_UI_NAMESPACE=1 unshare $as_root --net --mount sh "$0" "$@"
fi

unit_exe=$1
tavrix_exe=$2
report_exe=$3
probe_exe=$4
source_dir=$5
here=$(dirname "$0")

xvfb_pid=
server_pid=
wine_name=ui
. "$here/../../wine_prefix.sh"
on_cleanup='[ -z "$server_pid" ] || kill "$server_pid" 2>/dev/null || true; [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true'

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# The network: loopback only, the retailer's host on it.
ip link set lo up
printf '127.0.0.1 localhost www.quorvane.com\n::1 localhost\n' >"$work/hosts"
mount --bind "$work/hosts" /etc/hosts

# A display of our own: the first free number from 90.
display=90
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
# Screen 0 as most tests want it; screen 1 a laptop's 1920x1080.
Xvfb ":$display" -screen 0 1280x1024x24 -screen 1 1920x1080x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display"

wine_prefix_boot

# Wine has no "Times New Roman" of its own: the splash shows its metric twin.
wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Times New Roman' /t REG_SZ /d 'Liberation Serif' /f \
  >/dev/null 2>&1
wineserver -w

# The windows in-process: layout, keyboard, lists, commands, flow.
wine "$unit_exe" --gtest_brief=1 || fail "test_win32_windows.exe"

# At 150 % (144 dpi) on the 1920x1080 screen Form1 would not fit: it is laid out smaller, inside
# the work area, and every fixed text still fits its control.
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
wineserver -w
DISPLAY=":$display.1" wine "$unit_exe" --gtest_brief=1 --gtest_filter='*Fit*' ||
  fail "test_win32_windows.exe at 144 dpi on 1920x1080"
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
wineserver -w

python3 "$here/loopback_server.py" "$work/request.txt" >"$work/server.log" 2>&1 &
server_pid=$!

# The user's own decimal separator, which the window and the report must both use.
wine reg add 'HKCU\Control Panel\International' /v sDecimal /t REG_SZ /d , /f >/dev/null 2>&1
wineserver -w
browser_dir="$WINEPREFIX/drive_c/Program Files/Internet Explorer"
mkdir -p "$browser_dir"
cp "$probe_exe" "$browser_dir/iexplore.exe"

wine "$report_exe" >"$work/expected-report.txt" || fail "tavrix-report.exe"
wine "$report_exe" --window >"$work/expected-window.txt" || fail "tavrix-report.exe --window"
wine "$report_exe" --address >"$work/expected-address.txt" || fail "tavrix-report.exe --address"
grep -q ',' "$work/expected-window.txt" || fail "the report does not use the user's decimal separator"

probe() { wine "$probe_exe" "$@" 2>/dev/null; }
# Waits up to 30 s until the probe succeeds; its output in $answer.
await() {
  tries=0
  while ! answer=$(probe "$@"); do
    tries=$((tries + 1))
    [ "$tries" -lt 150 ] || return 1
    sleep 0.2
  done
}
click() {
  if await centre "$1"; then
    # shellcheck disable=SC2086
    xdotool mousemove $answer click 1
  else
    fail "no $1 to click"
  fi
}
await_exit() {
  tries=0
  while kill -0 "$1" 2>/dev/null; do
    tries=$((tries + 1))
    [ "$tries" -lt 150 ] || { fail "tavrix.exe did not end"; kill "$1"; return 0; }
    sleep 0.2
  done
  status=0
  wait "$1" || status=$?
}

# The whole run: disclaimer, OK, splash, main window; values, copy, page, chat, close.
wine "$tavrix_exe" >"$work/tavrix.log" 2>&1 &
tavrix=$!
if await window Dialog; then
  [ "$answer" = "335 141 410 322" ] || fail "the disclaimer's client area is $answer, not 335 141 410 322"
else
  fail "the disclaimer is not shown"
fi
click OKButton
if await window Form1; then
  [ "$answer" = "123 22 785 706" ] || fail "Form1's client area is $answer, not 123 22 785 706"
else
  fail "Form1 is not shown"
fi
probe values >"$work/window.txt" || fail "Form1's values cannot be read"
cmp -s "$work/window.txt" "$work/expected-window.txt" ||
  fail "Form1 shows $(diff "$work/expected-window.txt" "$work/window.txt" | head -n 5)"

click clipboardCmd
sleep 0.5
probe clipboard >"$work/clipboard.txt" || fail "the clipboard holds no text"
cmp -s "$work/clipboard.txt" "$work/expected-report.txt" || fail "the clipboard does not hold the report byte for byte"

# The browser's request: the composed address, its blanks sent as %20.
expected_request="GET $(sed -e 's#^http://www.quorvane.com##' -e 's/ /%20/g' "$work/expected-address.txt") HTTP/1.1"
tries=0
while [ ! -s "$work/request.txt" ] && [ "$tries" -lt 100 ]; do tries=$((tries + 1)); sleep 0.2; done
if [ -s "$work/request.txt" ]; then
  [ "$(cat "$work/request.txt")" = "$expected_request" ] ||
    fail "the browser asked for \"$(cat "$work/request.txt")\", not \"$expected_request\""
else
  fail "the browser sent no request"
fi

click Label39
tries=0
while [ ! -s "$browser_dir/command_line.txt" ] && [ "$tries" -lt 100 ]; do tries=$((tries + 1)); sleep 0.2; done
expected_chat='"C:\Program Files\Internet Explorer\iexplore.exe" http://www.quorvane.com/support/UserPreChat.aspx?ref=CustomerScanWindow'
[ "$(cat "$browser_dir/command_line.txt" 2>/dev/null)" = "$expected_chat" ] ||
  fail "the chat started \"$(cat "$browser_dir/command_line.txt" 2>/dev/null)\""

probe close Form1 || fail "Form1 cannot be closed"
await_exit "$tavrix"
[ "$status" -eq 0 ] || fail "closing Form1 ends tavrix.exe with status $status"

# Cancel ends the program at once, with status 0.
wine "$tavrix_exe" >/dev/null 2>&1 &
tavrix=$!
click CancelButton
await_exit "$tavrix"
[ "$status" -eq 0 ] || fail "Cancel ends tavrix.exe with status $status"

# A machine file: the same windows over it, whose copy is tavrix-report.exe --machine's report.
acme="Z:$source_dir/examples/acme.machine"
wine "$report_exe" --machine "$acme" >"$work/acme-report.txt" || fail "tavrix-report.exe --machine"
wine "$tavrix_exe" --machine "$acme" >/dev/null 2>&1 &
tavrix=$!
click OKButton
await window Form1 || fail "Form1 over a machine file is not shown"
click clipboardCmd
sleep 0.5
probe clipboard >"$work/acme-clipboard.txt" || fail "the clipboard holds no text over a machine file"
cmp -s "$work/acme-clipboard.txt" "$work/acme-report.txt" || fail "the copy over a machine file is not its report"
probe close Form1 || fail "Form1 over a machine file cannot be closed"
await_exit "$tavrix"
[ "$status" -eq 0 ] || fail "closing Form1 over a machine file ends tavrix.exe with status $status"

# A file that cannot be read or parsed: tavrix-report.exe's message in a box, status 1; an unknown
# option: the usage in a box, status 2; /? and --version: the help and the version in a box,
# status 0. No window comes first.
answered_in_box() {
  expected_status=$1
  expected_text=$2
  shift 2
  wine "$tavrix_exe" "$@" >/dev/null 2>&1 &
  tavrix=$!
  if await message "Tavrix - System Memory Information"; then
    case $answer in
      *"$expected_text"*) ;;
      *) fail "tavrix.exe $* says \"$answer\"" ;;
    esac
  else
    fail "tavrix.exe $* shows no message"
  fi
  await_exit "$tavrix"
  [ "$status" -eq "$expected_status" ] || fail "tavrix.exe $* ends with status $status, not $expected_status"
}
bad="Z:$source_dir/tests/data/malformed/text-line.machine"
answered_in_box 1 "text-line.machine:3: expected" --machine "$bad"
answered_in_box 2 "usage: tavrix" --bogus
answered_in_box 2 "--dump is given twice" --dump "$bad" --dump "$bad"
answered_in_box 0 "--machine FILE  " '/?'
answered_in_box 0 "tavrix 1.0.0" --version
# A path outside the ANSI code page reaches the program as given, and its message names it so.
mkdir -p "$work/Иван"
cp "$source_dir/examples/acme.machine" "$work/Иван/pc.machine"
export LC_ALL=C.UTF-8
answered_in_box 1 "Z:$work/Иван/none.machine: cannot open" --machine "Z:$work/Иван/none.machine"
wine "$tavrix_exe" --machine "Z:$work/Иван/pc.machine" >/dev/null 2>&1 &
tavrix=$!
await window Dialog || fail "the disclaimer over a machine file in Иван is not shown"
probe close Dialog || fail "the disclaimer over a machine file in Иван cannot be closed"
await_exit "$tavrix"
export LC_ALL=C

# A scan that fails (the WMI moniker no longer registered) shows the error report, the plain
# sentence first and the failed call on the next line, and ends with status 1.
wine reg delete 'HKCR\winmgmts' /f >/dev/null 2>&1
wine "$tavrix_exe" >/dev/null 2>&1 &
tavrix=$!
click OKButton
if await message "Tavrix - System Memory Information"; then
  printf '%s\n' "$answer" | tr -d '\r' >"$work/report-message.txt"
  [ "$(sed -n 1p "$work/report-message.txt")" = \
    "The hardware details could not be read from this computer's management service (WMI)." ] &&
    sed -n 2p "$work/report-message.txt" | grep -q '^CoGetObject("winmgmts:.*") failed with HRESULT 0x' ||
    fail "the error report says \"$answer\""
else
  fail "a failed scan shows no error report"
fi
await_exit "$tavrix"
[ "$status" -eq 1 ] || fail "a failed scan ends tavrix.exe with status $status"

if [ "$failures" -ne 0 ]; then
  cat "$work/tavrix.log"
  exit 1
fi
echo "Wine windows: all checks pass"
