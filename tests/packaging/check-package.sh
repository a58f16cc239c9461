#!/bin/sh
# check-package.sh DEB: what a Debian packager checks on the package: lintian finds no error and no
# warning (nor a missing hardening flag), the desktop entry and the AppStream metainfo validate, the
# icon theme holds every size and the SVG, and the manual pages and changelog are gzip -9n files.
set -eu
deb=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "check-package: $*" >&2; failed=1; }

status=0
# lintian leaves a file of its own in its temporary folder: that folder is ours, removed with it.
TMPDIR="$work" lintian --fail-on error,warning --pedantic --display-info --tag-display-limit 0 "$deb" >"$work/lintian" 2>&1 || status=$?
cat "$work/lintian"
if [ "$status" -ne 0 ] || grep -E '^(E|W): ' "$work/lintian" >/dev/null; then fail "lintian reports errors or warnings"; fi
if grep -E 'hardening-no-(bindnow|fortify-functions|relro|pie|stackprotector)' "$work/lintian" >/dev/null; then
  fail "a program lacks a hardening flag"
fi

duplicates=$(dpkg-deb -f "$deb" Depends | tr ',' '\n' | sed 's/^ *//; s/[ (].*//' | sort | uniq -d)
[ -z "$duplicates" ] || fail "Depends names $duplicates more than once"

dpkg-deb -x "$deb" "$work/root"
share=$work/root/usr/share
desktop-file-validate "$share/applications/tavrix.desktop" || fail "the desktop entry does not validate"
appstreamcli validate --no-net --pedantic "$share/metainfo/com.quorvane.tavrix.metainfo.xml" ||
  fail "the metainfo does not validate"

for size in 16 32 48 64 128 256; do
  png=$share/icons/hicolor/${size}x$size/apps/tavrix.png
  file -b "$png" | grep -q "^PNG image data, $size x $size, 8-bit/color RGBA" || fail "$png is not a $size by $size RGBA PNG"
done
grep -q '<svg ' "$share/icons/hicolor/scalable/apps/tavrix.svg" || fail "no scalable icon"

for gz in "$share/man/man1/tavrix.1.gz" "$share/man/man1/tavrix-report.1.gz" "$share/doc/tavrix/changelog.gz"; do
  # gzip -9n: no file name (flags byte 0), no time stamp (bytes 4 to 7), maximum compression (byte 8 = 2).
  header=$(od -An -tx1 -N9 "$gz" | tr -d ' \n')
  [ "$header" = "1f8b08000000000002" ] || fail "$gz is not compressed with gzip -9n (header $header)"
done
grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' "$share/doc/tavrix/copyright" ||
  fail "no machine-readable copyright file"

[ "$failed" -eq 0 ] && echo "check-package: $deb passes"
exit "$failed"
