#!/bin/sh
# Runs scripts/install-deps.sh with every package missing, against stand-ins for id, sudo and
# apt-get, for each kind of user: root installs, a user whom sudo lets in installs through it, and
# without sudo or without rights (no terminal to ask on) it prints the line for root, which the
# README gives too, and stops.
#   check-install-deps.sh SOURCE_DIR
set -eu
script="$1/scripts/install-deps.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/tavrix-install-deps.XXXXXX")
trap 'rm -rf "$work"' EXIT
fake="$work/bin"
mkdir "$fake"
for tool in grep env; do ln -s "$(command -v $tool)" "$fake/$tool"; done
cat >"$fake/dpkg-query" <<'END'
#!/bin/sh
exit 1
END
cat >"$fake/id" <<'END'
#!/bin/sh
echo "$FAKE_UID"
END
cat >"$fake/apt-get" <<'END'
#!/bin/sh
echo "apt-get $1" >>"$FAKE_LOG"
END
cat >"$fake/sudo" <<'END'
#!/bin/sh
case $1 in
  -n|-v) [ "$FAKE_SUDO" = allowed ] ;;
  *) echo "sudo:" >>"$FAKE_LOG"; exec "$@" ;;
esac
END
chmod +x "$fake"/*

failures=0
# check WHAT UID SUDO STATUS LOG: the script's status and the calls it made, one line each.
check() {
  : >"$work/log"
  [ "$3" = none ] && mv "$fake/sudo" "$work/sudo.off"
  status=0
  FAKE_UID=$2 FAKE_SUDO=$3 FAKE_LOG="$work/log" PATH="$fake" /bin/sh "$script" </dev/null >"$work/out" 2>"$work/err" ||
    status=$?
  [ "$3" = none ] && mv "$work/sudo.off" "$fake/sudo"
  calls=$(tr '\n' ' ' <"$work/log")
  if [ "$status" -ne "$4" ] || [ "$calls" != "$5" ]; then
    echo "FAIL: $1: status $status, calls \"$calls\": $(cat "$work/err")"
    failures=$((failures + 1))
  fi
  if [ "$4" -ne 0 ] && ! grep -qx '  apt-get update && apt-get install -y --no-install-recommends build-essential .* iproute2' "$work/err"; then
    echo "FAIL: $1: no line for root: $(cat "$work/err")"
    failures=$((failures + 1))
  fi
}
check "root" 0 none 0 "apt-get update apt-get install "
check "a user whom sudo lets in" 1000 allowed 0 "sudo: apt-get update sudo: apt-get install "
check "a user without rights and no terminal" 1000 denied 1 ""
check "a user without sudo" 1000 none 1 ""
# The README gives the same line, for a fresh system where every package is missing.
readme_line=$(sed -n '/^apt-get update && apt-get install/,/^```/p' "$1/README.md" | sed '$d' |
  sed 's/ \\$//; s/^  //' | tr '\n' ' ' | sed 's/ $//')
if [ "  $readme_line" != "$(grep -x '  apt-get update .*' "$work/err")" ]; then
  echo "FAIL: the README's line for root is not the script's: $readme_line"
  failures=$((failures + 1))
fi
[ "$failures" -eq 0 ] && echo "install-deps: every kind of user checked"
exit "$failures"
