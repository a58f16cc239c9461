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
xvfb xauth xdotool xclip x11-apps x11-utils imagemagick
appstream dpkg-dev file
g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev wine wine64
"

missing=""
for p in $packages; do
  if ! dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing="$missing $p"
  fi
done
[ -z "$missing" ] && exit 0

echo "install-deps: installing:$missing"
if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update
# shellcheck disable=SC2086
$sudo apt-get install -y --no-install-recommends $missing
