#!/bin/sh
# tavrix.exe under a warm Wine (its server kept running, one run before the timed ones), on Xvfb
# alone and under openbox, in a private network namespace where the retailer's host is a loopback
# page server:
#   bench/wine_bench_program.sh WINE_BENCH_PROGRAM TAVRIX_EXE
set -eu

if [ "${TAVRIX_BENCH_NAMESPACE:-}" != 1 ]; then
  # An ordinary user gets the namespaces inside a user namespace of its own, as root there.
  [ "$(id -u)" = 0 ] && as_root= || as_root=--map-root-user
  exec env TAVRIX_BENCH_NAMESPACE=1 unshare $as_root --net --mount sh "$0" "$@"
fi
bench=$1
here=$(cd "$(dirname "$0")" && pwd)

server_pid=
wine_name=bench
. "$here/../tests/wine_prefix.sh"
on_cleanup='[ -z "$server_pid" ] || kill "$server_pid" 2>/dev/null || true'

ip link set lo up
printf '127.0.0.1 localhost www.quorvane.com\n' >"$work/hosts"
mount --bind "$work/hosts" /etc/hosts
python3 "$here/../tests/ui/win32/loopback_server.py" "$work/request.txt" >/dev/null 2>&1 &
server_pid=$!

wine_prefix_boot
# On Xvfb alone Wine would wait two seconds for a window manager at every unmap of a window it
# leaves to one; so there it manages its windows itself (Managed=N), and under openbox it leaves
# them to openbox. The benchmark sets that for each desktop; the warm-up runs with Managed=N.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
wineserver -w
cp "$2" "$WINEPREFIX/drive_c/tavrix.exe"
# Warm: the server stays up between runs, and the libraries the program loads are in the page cache.
wineserver -p
wine "C:\\tavrix.exe" >/dev/null 2>&1 &
warm=$!
sleep 3
kill "$warm" 2>/dev/null || true
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
wineserver -p

TAVRIX_EXE='C:\tavrix.exe' TAVRIX_REQUEST_FILE="$work/request.txt" "$bench"
