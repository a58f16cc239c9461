#!/bin/sh
# Time of a whole scan under Wine, process start to exit, in a prefix that already exists:
#   bench/wine_scan_time.sh [build-windows/cli/tavrix-report.exe] [runs]
# Prints the median for a warm Wine (its server and services running, as WMI is on a running
# Windows), for a machine file (the cost of starting a process under Wine, without WMI), and for
# a cold Wine (the server started by the run itself).
set -eu
exe=${1:-build-windows/cli/tavrix-report.exe}
runs=${2:-15}
machine=$(cd "$(dirname "$0")/.." && pwd)/examples/acme.machine

work=$(mktemp -d "${TMPDIR:-/tmp}/tavrix-wine-bench.XXXXXX")
export WINEPREFIX="$work/prefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C LANG=C
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
{ wineboot -i && wineserver -w; } >/dev/null 2>&1

# Median wall time in milliseconds of `wine exe ARGS...`, run $runs times; with cold=1 the Wine
# server is let go before each run.
median() {
  cold=$1
  shift
  i=0
  while [ "$i" -lt "$runs" ]; do
    [ "$cold" -eq 1 ] && wineserver -w
    start=$(date +%s%N)
    wine "$exe" "$@" >/dev/null
    end=$(date +%s%N)
    echo $(((end - start) / 1000000))
    i=$((i + 1))
  done | sort -n | awk '{ t[NR] = $1 } END { print (NR % 2) ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2 }'
}

wine "$exe" >/dev/null
echo "warm Wine, WMI scan:      $(median 0) ms (median of $runs)"
echo "warm Wine, machine file:  $(median 0 --machine "Z:$machine") ms"
echo "cold Wine, WMI scan:      $(median 1) ms"
