#!/usr/bin/env bash
# The Debian package on this machine (CI; needs root): dpkg -i installs it,
# /usr/games/chessrpg plays the shipped world from an unrelated folder, and
# dpkg -r takes away every file and folder of its own.
# Usage: deb_package.sh DEB
set -u
deb=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
[ -f "$deb" ] || { echo "FAIL: no package at $1" >&2; exit 1; }
[ "$(id -u)" = 0 ] || { echo "skipped: installing a package needs root" >&2; exit 77; }
if dpkg -s chessrpg >/dev/null 2>&1; then
  echo "FAIL: chessrpg is installed already; remove it first (dpkg -r chessrpg)" >&2
  exit 1
fi

dpkg -i "$deb" >/dev/null || { echo "FAIL: dpkg -i failed" >&2; exit 1; }
# Whatever happens below, the machine is left without the package.
remove_package() { dpkg -s chessrpg >/dev/null 2>&1 && dpkg -r chessrpg >/dev/null; }
trap remove_package EXIT
owned=$(dpkg -L chessrpg)

. "$(dirname "$0")/lib.sh"
e2e_setup /usr/games/chessrpg /usr/share/games/chessrpg
trap 'e2e_cleanup; remove_package' EXIT
. "$(dirname "$0")/elsewhere.sh"

for file in /usr/games/chessrpg /usr/bin/chessrpg-data-check /usr/bin/chessrpg-world-picture \
  /usr/share/games/chessrpg/Hero_Info/Hero_Status_Info.txt /usr/share/man/man6/chessrpg.6.gz \
  /usr/share/applications/chessrpg.desktop /usr/share/doc/chessrpg/copyright; do
  [ -f "$file" ] || e2e_fail "not installed: $file"
done
chessrpg-data-check /usr/share/games/chessrpg >/dev/null || e2e_fail "the packaged data has problems"
/usr/games/chessrpg --help | grep -qx '  /usr/share/games/chessrpg' || e2e_fail "--help does not name /usr/share/games/chessrpg"

mkdir -p "$E2E_WORK/elsewhere"
play_from "$E2E_WORK/elsewhere" /usr/games/chessrpg
e2e_wait 10 first_row_shipped || e2e_fail "the packaged program does not show the shipped world"
e2e_wait 5 hero_shown || e2e_fail "no hero on the first frame"
end_game

dpkg -r chessrpg >/dev/null || e2e_fail "dpkg -r failed"
dpkg -s chessrpg >/dev/null 2>&1 && e2e_fail "dpkg still knows the package: $(dpkg -s chessrpg | grep Status)"
# Every file is gone, and every folder of the game's own.
left=$(echo "$owned" | while read -r path; do
  if [ -d "$path" ]; then
    case "$path" in */chessrpg|*/chessrpg/*) echo "$path" ;; esac
  elif [ -e "$path" ]; then
    echo "$path"
  fi
done)
[ -z "$left" ] || e2e_fail "left after dpkg -r: $left"
echo "ok: installed, played from /usr/games/chessrpg, removed without a trace"
