#!/bin/sh
# Installs the Debian packages that building, testing and running Tavrix need.
# Idempotent: does nothing (and needs no network) when every package is present.
set -eu

packages="
build-essential cmake ninja-build pkg-config
libgtest-dev libgmock-dev libbenchmark-dev
clang libclang-rt-14-dev
dmidecode
qt6-base-dev qt6-webengine-dev libqt6webenginecore6-bin qt6-qpa-plugins libxcb1-dev
fonts-liberation2
xvfb xauth xdotool xclip x11-utils strace openbox
weston qt6-wayland wl-clipboard qt6-base-private-dev
appstream desktop-file-utils lintian dpkg-dev file locales
g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev wine wine64 nsis
dbus at-spi2-core python3-pyatspi
python3 python3-jsonschema iproute2
"

missing=""
for p in $packages; do
  if ! dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing="$missing $p"
  fi
done
[ -z "$missing" ] && exit 0

apt_line="apt-get update && apt-get install -y --no-install-recommends$missing"
# Says what is missing and the one line to run as root, and stops.
give_root_line() {
  echo "install-deps: these Debian packages are missing:$missing" >&2
  echo "install-deps: installing them needs root, $1. Run this once as root (e.g. after su -):" >&2
  echo "  $apt_line" >&2
  exit 1
}
if [ "$(id -u)" -eq 0 ]; then
  as_root="env"
elif ! command -v sudo >/dev/null 2>&1; then
  give_root_line "and sudo is not installed"
elif sudo -n true 2>/dev/null; then
  as_root="sudo env"
elif [ -t 0 ] && [ -t 2 ] && echo "install-deps: installing:$missing needs sudo:" >&2 && sudo -v; then
  as_root="sudo env"  # the password was asked once; sudo remembers it for the install
else
  give_root_line "and sudo may not be used here"
fi

echo "install-deps: installing:$missing"
$as_root DEBIAN_FRONTEND=noninteractive apt-get update
# shellcheck disable=SC2086
$as_root DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing
