#!/bin/sh
# Runs the Windows build under Wine, against Wine's WMI, in a fresh prefix that is removed after:
#   run-wine-tests.sh TEST_WINDOWS_SCAN_EXE TAVRIX_REPORT_EXE SOURCE_DIR
# Wine answers WMI from this computer, so the report is checked against /proc.
set -eu

unit_exe=$1
report_exe=$2
source_dir=$3

wine_name=scan
. "$(dirname "$0")/../../wine_prefix.sh"
unset DISPLAY

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

wine_prefix_boot

# The provider's own tests.
wine "$unit_exe" || fail "test_windows_scan.exe"

# The scan of this computer through Wine's WMI.
report="$work/report.txt"
status=0
wine "$report_exe" >"$report" 2>"$work/report.err" || status=$?
[ "$status" -eq 0 ] || fail "tavrix-report.exe exits $status: $(cat "$work/report.err")"
cr=$(printf '\r')
lines=$(wc -l <"$report")
[ "$lines" -eq 35 ] || fail "the report has $lines lines, not 35"
bare=$(grep -c -v "$cr\$" "$report" || true)
[ "$bare" -eq 0 ] || fail "$bare report lines do not end in CR LF"
[ "$(tail -c 1 "$report" | od -An -c | tr -d ' ')" = '\n' ] || fail "the report's last line has no line break"

# The text after "Label: " on the report line that starts with it, CR removed.
field() { grep "^$1" "$report" | head -n 1 | tr -d '\r' | cut -c $((${#1} + 1))-; }

vendor=$(grep -m 1 '^vendor_id' /proc/cpuinfo | sed 's/^vendor_id[[:space:]]*:[[:space:]]*//')
[ "$(field 'Processor Manufacturer: ')" = "$vendor" ] ||
  fail "processor manufacturer \"$(field 'Processor Manufacturer: ')\" is not vendor_id \"$vendor\""

[ "$(field 'System Type: ')" = "x64 based PC" ] || fail "system type \"$(field 'System Type: ')\" is not Wine's"

# Installed RAM: the report's figure and MemTotal each in gigabytes of 1024^3 bytes, to the scan's
# hundredths; Wine counts whole pages, so its bytes may fall short of MemTotal by a page or so.
installed=$(field 'Installed RAM: ')
kilobytes=$(awk '/^MemTotal:/ { print $2 }' /proc/meminfo)
awk -v shown="$installed" -v kb="$kilobytes" 'BEGIN {
  n = split(shown, part, " ")
  if (n != 2 || (part[2] != "GB" && part[2] != "MB")) exit 1
  gb = part[2] == "GB" ? part[1] : part[1] / 1024
  host = kb / 1048576
  exit (gb - host > 0.0051 || host - gb > 0.0051) ? 1 : 0
}' || fail "installed RAM \"$installed\" does not agree with MemTotal $kilobytes kB"

# Wine's Win32_Processor has no ExtClock: the value shows empty and the scan goes on.
grep -q "^Processor FSB: $cr\$" "$report" || fail "the processor FSB Wine lacks does not show empty"

# The address and the window contents of the same scan.
wine "$report_exe" --address >"$work/address.txt" || fail "tavrix-report.exe --address"
speed=$(field 'Processor Speed: ')
[ "$(wc -l <"$work/address.txt")" -eq 1 ] || fail "--address prints more than one line"
grep -q "^http://www.quorvane.com/mc/tavrix.asp?manufacturer = .*&processorspeed=$speed&site=quorvane\$" \
  "$work/address.txt" || fail "--address prints $(cat "$work/address.txt")"
wine "$report_exe" --window >"$work/window.txt" || fail "tavrix-report.exe --window"
grep -qx "Label28=$vendor" "$work/window.txt" || fail "--window does not show the processor manufacturer"
grep -qx "Label26=x64 based PC" "$work/window.txt" || fail "--window does not show the system type"

# What WMI answered, saved as a machine file, replays to what the saving run printed (each output
# from its own run: Wine's clock speed follows the host's and may change between runs).
for output in report address window; do
  option=
  [ "$output" = report ] || option="--$output"
  saved="$work/saved-$output.machine"
  # shellcheck disable=SC2086
  wine "$report_exe" --save-machine "Z:$saved" $option >"$work/saving.out" 2>"$work/saving.err" ||
    fail "tavrix-report.exe --save-machine $option: $(cat "$work/saving.err")"
  # shellcheck disable=SC2086
  wine "$report_exe" --machine "Z:$saved" $option >"$work/replayed.out" 2>&1 ||
    fail "the saved machine file does not replay: $(cat "$work/replayed.out")"
  cmp -s "$work/saving.out" "$work/replayed.out" || fail "the saved machine file replays a different $output"
done
grep -qx '\[Win32_Processor\]' "$saved" && grep -qx "Manufacturer=$vendor" "$saved" ||
  fail "the saved machine file lacks the processor WMI gave: $(cat "$saved")"

# Every machine file gives, byte for byte, the report, address, window and JSON document (LF line
# ends) the Linux build gives.
for machine in "$source_dir"/tests/data/machines/*.machine "$source_dir"/examples/*.machine; do
  name=$(basename "$machine" .machine)
  case $machine in
    */examples/*) expected="$source_dir/tests/data/examples/$name" ;;
    *) expected="${machine%.machine}" ;;
  esac
  for output in report address window json; do
    option=
    [ "$output" = report ] || option="--$output"
    # shellcheck disable=SC2086
    wine "$report_exe" --machine "Z:$machine" $option >"$work/out" 2>&1 || fail "$name: tavrix-report.exe $option fails"
    cmp -s "$work/out" "$expected.$output" || fail "$name: the $output differs from $expected.$output"
  done
  # Saved again by the Windows build, it replays the same.
  wine "$report_exe" --machine "Z:$machine" --save-machine "Z:$work/again.machine" >/dev/null 2>&1 &&
    wine "$report_exe" --machine "Z:$work/again.machine" >"$work/out" 2>&1 ||
    fail "$name: tavrix-report.exe --save-machine fails"
  cmp -s "$work/out" "$expected.report" || fail "$name: saved by tavrix-report.exe, the report differs"
done

# A table dump is answered from its tables alone, as the Linux build answers it: the same report.
dump="$source_dir/tests/data/smbios/synthetic-legacy.bin"
wine "$report_exe" --dump "Z:$dump" >"$work/out" 2>"$work/err" || fail "tavrix-report.exe --dump fails: $(cat "$work/err")"
cmp -s "$work/out" "${dump%.bin}.report" || fail "the dump's report differs from the Linux build's"
# --root is a Linux option, refused as such.
status=0
wine "$report_exe" --root 'Z:\' >"$work/out" 2>"$work/err" || status=$?
[ "$status" -eq 2 ] && [ ! -s "$work/out" ] && grep -q "^tavrix-report: --root is an option of the Linux program" "$work/err" ||
  fail "--root exits $status with \"$(cat "$work/err")\""

# Output into a pipe whose reader has gone ends the command quietly, status 1.
wine "$report_exe" --machine "Z:$source_dir/examples/acme.machine" 2>"$work/err" | head -c 10 >/dev/null
[ ! -s "$work/err" ] || fail "into head -c 10: $(cat "$work/err")"
closed=$(python3 -c '
import os, subprocess, sys
r, w = os.pipe()
os.close(r)
run = subprocess.run(["wine", sys.argv[1], "--machine", "Z:" + sys.argv[2]], stdout=w, stderr=subprocess.PIPE)
print(run.returncode, run.stderr.decode(errors="replace").strip())
' "$report_exe" "$source_dir/examples/acme.machine")
[ "$closed" = "1 " ] ||
  fail "into a closed pipe: \"$closed\""

# --help (and /?) and --version answer on standard output with status 0.
for option in --help '/?'; do
  wine "$report_exe" "$option" >"$work/out" 2>"$work/err" && [ ! -s "$work/err" ] &&
    [ "$(head -n 1 "$work/out")" = "usage: tavrix-report [--machine FILE] [--dump FILE] [--save-machine FILE] [--address | --window | --json]" ] &&
    grep -q '^  --save-machine FILE  ' "$work/out" || fail "tavrix-report.exe $option: $(cat "$work/out" "$work/err")"
done
[ "$(wine "$report_exe" --version 2>&1)" = "tavrix-report 1.0.0" ] || fail "tavrix-report.exe --version: $(wine "$report_exe" --version 2>&1)"

# Paths outside the ANSI code page: read, saved and named in messages as given (UTF-8).
# Wine takes the command line in the locale's encoding: UTF-8 here.
reads_acme() {
  status=0
  LC_ALL=C.UTF-8 wine "$report_exe" "$@" >"$work/out" 2>"$work/err" || status=$?
  [ "$status" -eq 0 ] && cmp -s "$work/out" "$source_dir/tests/data/examples/acme.report" ||
    fail "$name: tavrix-report.exe $* exits $status with \"$(cat "$work/err")\" and $(wc -c <"$work/out") bytes"
}
for name in Иван 用户; do
  folder="$work/$name"
  mkdir -p "$folder"
  cp "$source_dir/examples/acme.machine" "$folder/pc.machine"
  reads_acme --machine "Z:$folder/pc.machine" --save-machine "Z:$folder/saved.machine"
  reads_acme --machine "Z:$folder/saved.machine"
  status=0
  LC_ALL=C.UTF-8 wine "$report_exe" --machine "Z:$folder/none.machine" >/dev/null 2>"$work/err" || status=$?
  [ "$status" -eq 1 ] &&
    [ "$(tr -d '\r' <"$work/err")" = "tavrix-report: Z:$folder/none.machine: cannot open: No such file or directory" ] ||
    fail "$name: a missing file exits $status with \"$(cat "$work/err")\""
done

# A save refuses what is neither a file nor a link (a device, a folder, a FIFO) and leaves it alone.
mkdir "$work/folder"
mkfifo "$work/fifo"
for target in NUL "Z:$work/folder" "Z:$work/fifo"; do
  status=0
  wine "$report_exe" --machine "Z:$source_dir/examples/acme.machine" --save-machine "$target" >/dev/null 2>"$work/err" ||
    status=$?
  [ "$status" -eq 1 ] && tr -d '\r' <"$work/err" |
    grep -qx "tavrix-report: $target: cannot replace: it is a .*, not a regular file or a link" ||
    fail "--save-machine $target exits $status with \"$(cat "$work/err")\""
done
[ -d "$work/folder" ] && [ -p "$work/fifo" ] || fail "a refused save changed its target"

# A file the scan cannot read fails it with a message, not a crash.
for machine in "$source_dir"/tests/data/malformed/*.machine; do
  status=0
  wine "$report_exe" --machine "Z:$machine" >/dev/null 2>"$work/err" || status=$?
  [ "$status" -eq 1 ] && grep -q "^tavrix-report: " "$work/err" ||
    fail "$(basename "$machine"): exits $status with \"$(cat "$work/err")\""
done

if [ "$failures" -ne 0 ]; then
  echo "--- the report under Wine:"
  cat "$report"
  exit 1
fi
echo "Wine: all checks pass"
