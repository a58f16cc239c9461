#!/bin/sh
# The installer under Wine in a fresh prefix: a silent per-user install puts the programs, the
# Start-menu shortcut and the uninstaller entry in place; the installed program's first start adds
# its browser-mode value; a silent uninstall refuses while the program runs; once it has ended, the
# silent uninstall removes them all, leaving the user's folders and HKCU as they were, whether the
# browser-mode keys existed before the install (with values of others) or not.
#   run-wine-install-test.sh TAVRIX_SETUP_EXE OBJDUMP TAVRIX_EXE TAVRIX_REPORT_EXE
set -eu

setup_exe=$1
objdump=$2
shift 2
tavrix_exe=$1

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# The programs are static: they import system DLLs only (oleacc.dll serves screen readers).
for program in "$@"; do
  imports=$("$objdump" -p "$program" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
  [ -n "$imports" ] || fail "$(basename "$program") imports nothing?"
  for dll in $imports; do
    case $dll in
      kernel32.dll | user32.dll | gdi32.dll | ole32.dll | oleaut32.dll | msvcrt.dll | advapi32.dll | shell32.dll | oleacc.dll) ;;
      *) fail "$(basename "$program") imports $dll" ;;
    esac
  done
done

wine_name=install
xvfb_pid=
. "$(dirname "$0")/../../wine_prefix.sh"
on_cleanup='[ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true'
unset DISPLAY
wine_prefix_boot

# A display of our own for the running program: the first free number from 90.
display=90
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!

user_dir=$(find "$WINEPREFIX/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n 1)
install_dir="$user_dir/AppData/Local/Programs/Tavrix"
shortcut="$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Tavrix.lnk"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tavrix'
feature='HKCU\Software\Microsoft\Internet Explorer\Main\FeatureControl'
emulation="$feature\\FEATURE_BROWSER_EMULATION"
windows_install_dir="C:\\users\\$(basename "$user_dir")\\AppData\\Local\\Programs\\Tavrix"
# What the installer may touch: the user's files (Wine's temporary files aside), its uninstall key
# and the browser-mode value named after the program. Wine keeps keys of its own in HKCU that it
# rewrites whenever it likes, so the registry is compared at those places only.
snapshot() {
  find "$user_dir" ! -path '*/Temp/*' | sort
  echo "uninstall key: $(wine reg query "$key" /s 2>/dev/null | tr -d '\r' | grep -c REG_)"
  { wine reg query "$feature" /s 2>/dev/null || true; } | tr -d '\r' | grep -v '^$' || true
}

install_run_uninstall() {
  snapshot >"$work/before.txt"
  cp "$setup_exe" "$WINEPREFIX/drive_c/tavrix-setup.exe"
  wine 'C:\tavrix-setup.exe' /S || fail "the silent install fails"
  wineserver -w
  for file in tavrix.exe tavrix-report.exe uninstall.exe; do
    [ -f "$install_dir/$file" ] || fail "$file is not installed in $install_dir"
  done
  cmp -s "$install_dir/tavrix.exe" "$tavrix_exe" || fail "the installed tavrix.exe is not the one built"
  [ -f "$shortcut" ] || fail "no Start-menu shortcut"
  wine reg query "$key" /v DisplayName 2>/dev/null | grep -q 'Tavrix - System Memory Information' ||
    fail "no uninstaller entry in HKCU"
  uninstall=$(wine reg query "$key" /v QuietUninstallString 2>/dev/null | sed -n 's/.*REG_SZ[[:space:]]*//p' | tr -d '\r')
  [ -n "$uninstall" ] || fail "the uninstaller entry has no QuietUninstallString"

  # The first start asks for the current document mode, before any window; the disclaimer then waits.
  DISPLAY=":$display" wine "$install_dir/tavrix.exe" >/dev/null 2>&1 &
  program=$!
  tries=0
  until wine reg query "$emulation" /v tavrix.exe 2>/dev/null | tr -d '\r' | grep -qi 'REG_DWORD[[:space:]]*0x2af9$'; do
    tries=$((tries + 1))
    [ "$tries" -lt 50 ] || { fail "a start of tavrix.exe sets no browser-mode value 11001"; break; }
    sleep 0.2
  done
  status=0
  wine "$install_dir/uninstall.exe" /S "_?=$windows_install_dir" || status=$?
  [ "$status" -eq 2 ] && [ -f "$install_dir/tavrix.exe" ] ||
    fail "while tavrix.exe runs, the silent uninstall ends with status $status$([ -f "$install_dir/tavrix.exe" ] || echo ", tavrix.exe gone")"
  kill "$program" 2>/dev/null || true
  wait "$program" 2>/dev/null || true
  wineserver -w

  wine "$install_dir/uninstall.exe" /S || fail "the silent uninstall fails"
  wineserver -w
  rm -f "$WINEPREFIX/drive_c/tavrix-setup.exe"
  snapshot >"$work/after.txt"
  cmp -s "$work/before.txt" "$work/after.txt" ||
    fail "the uninstall leaves behind: $(diff "$work/before.txt" "$work/after.txt" | grep '^[<>]' | head -n 10)"
}

# Keys made by the program's first start.
install_run_uninstall
# Keys that were there before, with values of others.
wine reg add "$feature" /v Kept /t REG_DWORD /d 1 /f >/dev/null 2>&1
wine reg add "$emulation" /v other.exe /t REG_DWORD /d 11000 /f >/dev/null 2>&1
wineserver -w
install_run_uninstall

[ "$failures" -eq 0 ] || exit 1
echo "Wine installer: all checks pass"
