#!/usr/bin/env bash
# tools/ensure_deps.sh with stand-ins for id, sudo and apt-get on a PATH that
# lacks the compilers: the commands it shows are the ones it runs, root runs
# them itself, another user through sudo (asked once, first), and without sudo
# or with sudo refused it only prints them and stops with status 1.
# Usage: tests/tools/ensure_deps_test.sh
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# bin/: the tools the script itself uses, and stand-ins that note each call in
# calls (as one line: the command and its arguments).
mkdir "$work/bin"
for tool in sh mktemp tail rm cat iconv; do ln -s "$(command -v "$tool")" "$work/bin/$tool"; done
stub() {
  printf '#!/bin/sh\n%s\n' "$2" >"$work/bin/$1"
  chmod +x "$work/bin/$1"
}
stub id 'echo "$FAKE_UID"'
stub apt-get 'echo "apt-get $*" >>"$CALLS"; [ "$3" != "$FAKE_APT_FAILS" ] || { echo "E: no luck"; exit 100; }'
sudo_stub='echo "sudo $*" >>"$CALLS"; [ "$1" = -v ] && exit "$FAKE_SUDO_STATUS"; exec "$@"'

# run UID: runs the script for play; its output in out, its status in status.
run() {
  : >"$work/calls"
  set +e
  env -i PATH="$work/bin" CALLS="$work/calls" TMPDIR="$work" FAKE_UID="$1" \
    FAKE_SUDO_STATUS="${FAKE_SUDO_STATUS:-0}" FAKE_APT_FAILS="${FAKE_APT_FAILS:-none}" \
    "$work/bin/sh" "$here/tools/ensure_deps.sh" play >"$work/out" 2>&1
  status=$?
  set -e
}
# The shown commands, continuation lines joined, without their indent.
shown() { sed -n 's/^  //p' "$work/out" | sed -e ':a' -e '/\\$/N; s/ *\\\n */ /; ta'; }
apt_calls() { grep -c '^apt-get' "$work/calls" || true; }

# Root: shown, then run as shown, without sudo.
run 0
[ "$status" = 0 ] || fail "root: status $status"
[ "$(shown)" = "apt-get -o DPkg::Lock::Timeout=600 update
apt-get -o DPkg::Lock::Timeout=600 install -y --no-install-recommends g++ cmake make" ] ||
  fail "root: shown commands: $(shown)"
[ "$(shown)" = "$(cat "$work/calls")" ] || fail "root: ran $(cat "$work/calls")"

# A user with sudo: sudo asked first, then the commands shown, through sudo.
stub sudo "$sudo_stub"
run 1000
[ "$status" = 0 ] || fail "sudo user: status $status"
[ "$(head -n 1 "$work/calls")" = "sudo -v" ] || fail "sudo user: sudo was not asked first"
[ "$(shown)" = "$(grep '^sudo apt-get' "$work/calls")" ] || fail "sudo user: shown $(shown), ran $(cat "$work/calls")"
[ "$(apt_calls)" = 2 ] || fail "sudo user: apt-get ran $(apt_calls) times"

# sudo refuses: the commands for root, status 1, nothing installed.
FAKE_SUDO_STATUS=1 run 1000
[ "$status" = 1 ] || fail "sudo refused: status $status"
[ "$(apt_calls)" = 0 ] || fail "sudo refused: apt-get ran"
grep -q '^  apt-get .* install ' "$work/out" || fail "sudo refused: no command for root shown"

# No sudo at all: the same.
rm "$work/bin/sudo"
run 1000
[ "$status" = 1 ] || fail "no sudo: status $status"
[ -s "$work/calls" ] && fail "no sudo: something ran: $(cat "$work/calls")"
grep -q 'g++ cmake make' "$work/out" || fail "no sudo: the packages are not named"

# The install fails: status 1 and apt-get's last words; a failed update alone
# does not stop the install.
FAKE_APT_FAILS=install run 0
[ "$status" = 1 ] || fail "failed install: status $status"
grep -q 'E: no luck' "$work/out" || fail "failed install: apt-get's output not shown"
FAKE_APT_FAILS=update run 0
[ "$status" = 0 ] || fail "failed update: status $status"
[ "$(apt_calls)" = 2 ] || fail "failed update: the install did not run"

# Nothing missing: silent, nothing run.
for tool in g++ cmake make; do stub "$tool" 'exit 0'; done
run 1000
[ "$status" = 0 ] && [ ! -s "$work/out" ] && [ ! -s "$work/calls" ] || fail "nothing missing: $(cat "$work/out")"
echo "ok: ensure_deps shows what it runs, as root, through sudo, or not at all"
