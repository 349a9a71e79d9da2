#!/usr/bin/env bash
# `make install` as a player gets it: the build installed into a scratch
# DESTDIR under /usr/local, the installed tree then moved elsewhere, and its
# program run from an unrelated folder plays the installed data (marked, so
# that no other tree passes for it). Without its data it stops: an installed
# program never falls back on the source tree. The uninstall script then
# leaves no file behind.
# Usage: installed.sh BUILD_DIR DATA_DIR
. "$(dirname "$0")/lib.sh"
build=$(cd "$1" && pwd)
e2e_setup "$build/chessrpg" "$2"
. "$(dirname "$0")/elsewhere.sh"
source_dir=$(cd "$(dirname "$0")/../.." && pwd)

# The install writes its manifest into the build folder; the build's own one
# (from a real `make install`) is put back at once.
manifest=$build/install_manifest.txt
[ -f "$manifest" ] && cp "$manifest" "$E2E_WORK/manifest.saved"
root=$E2E_WORK/root
DESTDIR=$root cmake --install "$build" --prefix /usr/local >"$E2E_WORK/install.log" 2>&1
installed=$?
mv "$manifest" "$E2E_WORK/manifest.test" 2>/dev/null
[ -f "$E2E_WORK/manifest.saved" ] && mv "$E2E_WORK/manifest.saved" "$manifest"
[ $installed = 0 ] || e2e_fail "cmake --install failed: $(cat "$E2E_WORK/install.log")"

for file in bin/chessrpg bin/chessrpg-world-picture bin/chessrpg-data-check \
  share/chessrpg/Hero_Info/Hero_Status_Info.txt share/chessrpg/map_info/map1/9.txt \
  share/man/man6/chessrpg.6 share/man/man1/chessrpg-data-check.1 \
  share/doc/chessrpg/README.md share/applications/chessrpg.desktop; do
  [ -f "$root/usr/local/$file" ] || e2e_fail "not installed: /usr/local/$file"
done
"$root/usr/local/bin/chessrpg-data-check" "$root/usr/local/share/chessrpg" >/dev/null ||
  e2e_fail "chessrpg-data-check finds problems in the installed data"

# Moved: the program finds the data by its own place.
mkdir -p "$root/opt" "$E2E_WORK/elsewhere"
mv "$root/usr/local" "$root/opt/game"
mark_tree "$root/opt/game/share/chessrpg"
play_from "$E2E_WORK/elsewhere" "$root/opt/game/bin/chessrpg"
e2e_wait 10 first_row_marked || e2e_fail "the moved program does not play its installed data"
e2e_wait 5 hero_shown || e2e_fail "no hero on the first frame"
end_game

mv "$root/opt/game/share/chessrpg" "$E2E_WORK/data-aside"
play_from "$E2E_WORK/elsewhere" "$root/opt/game/bin/chessrpg"
e2e_wait 10 fatal_stop_shown || e2e_fail "without its data the installed program did not stop"
end_game

mv "$E2E_WORK/data-aside" "$root/opt/game/share/chessrpg"
mv "$root/opt/game" "$root/usr/local"
DESTDIR=$root cmake -DMANIFEST="$E2E_WORK/manifest.test" -P "$source_dir/packaging/uninstall.cmake" >/dev/null ||
  e2e_fail "the uninstall script failed"
left=$(find "$root" -type f -o -name chessrpg)
[ -z "$left" ] || e2e_fail "left after uninstalling: $left"
echo "ok: installed, moved, played from elsewhere, stopped without its data, uninstalled"
