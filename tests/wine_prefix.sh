# Sourced by the scripts that run the Windows build under Wine. Set wine_name first; then this
# makes a folder of the script's own ($work) with a fresh prefix in it, removed when the script
# ends, after the command in $on_cleanup (which the script may set) and Wine's processes.
command -v wine >/dev/null || { echo "wine is not installed: run scripts/install-deps.sh"; exit 1; }
work=$(mktemp -d "${TMPDIR:-/tmp}/tavrix-wine-$wine_name.XXXXXX")
# No Mono or Gecko offer from wineboot, and no desktop integration: winemenubuilder would write
# menu entries and icons into the home folder, some of them after the install has returned.
export WINEPREFIX="$work/prefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# A home of the script's own, so that whatever Wine writes there goes with $work.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share" \
  XDG_CACHE_HOME="$work/home/.cache"
# Wine makes its server's folder under TMPDIR (a new wine-XXXXXX each prefix): that goes with $work too.
export TMPDIR="$work/tmp"
mkdir -p "$HOME" "$TMPDIR"
export LC_ALL=C LANG=C
unset WAYLAND_DISPLAY
on_cleanup=:
cleanup() {
  eval "$on_cleanup"
  wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# Makes the prefix. wineboot returns while the prefix is still being set up; until that ends,
# COM calls wait on timeouts, so every process of the setup finishes first.
wine_prefix_boot() {
  if ! { wineboot -i && wineserver -w; } >"$work/wineboot.log" 2>&1; then
    cat "$work/wineboot.log"
    echo "FAIL: wineboot could not make a prefix"
    exit 1
  fi
}
