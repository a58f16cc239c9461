#!/bin/sh
# Runs the built tavrix-report itself over every test machine file, as a user would: each prints its
# expected report, address and window; a malformed one fails with status 1 and a message; every
# table dump, saved and replayed, prints the same report. (Their JSON is check_report_json.py's.)
# usage: report_over_data.sh TAVRIX-REPORT SOURCE-DIR
report=$1
source=$2
data=$source/tests/data
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
passed=0

# count WHAT STATUS: a pass when STATUS is 0, else a failure naming WHAT and the program's messages.
count() {
    if [ "$2" -eq 0 ]; then passed=$((passed + 1)); else echo "FAILED: $1: $(cat "$work/err")"; failed=$((failed + 1)); fi
}

for machine in "$data"/machines/*.machine "$source"/examples/*.machine; do
    name=${machine%.machine}
    case $machine in "$source"/examples/*) name=$data/examples/$(basename "$name") ;; esac
    for option in report address window; do
        flag=--$option
        [ $option = report ] && flag=
        "$report" --machine "$machine" $flag >"$work/out" 2>"$work/err" && cmp -s "$work/out" "$name.$option"
        count "$machine $flag" $?
    done
done

for machine in "$data"/malformed/*.machine; do
    "$report" --machine "$machine" >"$work/out" 2>"$work/err"
    status=$?
    [ $status -eq 1 ] && [ ! -s "$work/out" ] && grep -q '^tavrix-report: ' "$work/err"
    count "$machine: status $status" $?
done

for dump in "$data"/smbios/*.bin "$data"/smbios/*/*.bin "$source"/../shared/smbios-dumps/*.bin; do
    [ -f "$dump" ] || continue
    "$report" --dump "$dump" --save-machine "$work/saved.machine" >"$work/out" 2>"$work/err" &&
        "$report" --machine "$work/saved.machine" >"$work/replayed" 2>>"$work/err" && cmp -s "$work/out" "$work/replayed"
    count "$dump" $?
done
[ -d "$source/../shared/smbios-dumps" ] || echo "no ../shared/smbios-dumps beside the source: real computers' dumps skipped"

echo "$passed passed, $failed failed"
[ $failed -eq 0 ]
