#!/usr/bin/env bash
# Builds the web version into WORK_DIR/dist (web/build.sh, only what changed)
# and makes a site beside it, under WORK_DIR/sites, for each data tree the
# browser tests and benchmarks play on: the battle checks' small worlds (flee:
# a Pawn that reaches the hero; win: a Knight one sword cut fells), calm (the
# shipped world with nothing roaming) and fatal (no hero file). Each site is
# the build with its own data tree and data.js. For the service worker's
# checks, two builds of the shipped world under WORK_DIR/builds: app-a, the
# build as it is, and app-b, the same with a mark in index.html and data.js.
# Usage: make_sites.sh WORK_DIR DATA_DIR
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 WORK_DIR DATA_DIR" >&2; exit 2; }
here=$(cd "$(dirname "$0")/../.." && pwd)
mkdir -p "$1"
work=$(cd "$1" && pwd)
data=$(cd "$2" && pwd)

if ! "$here/web/build.sh" "$work/build" "$work/dist" "$data" >"$work/build.log" 2>&1; then
  cat "$work/build.log"
  echo "FAIL: the web build failed" >&2
  exit 1
fi
# playwright-core, at the version the lock file names.
[ -f "$here/web/node_modules/playwright-core/package.json" ] ||
  (cd "$here/web" && npm ci --no-audit --no-fund >/dev/null)

# The small worlds come from the terminal checks' own helpers.
. "$here/tests/e2e/lib.sh"
. "$here/tests/e2e/small_world.sh"
rm -rf "$work/sites" "$work/worlds"
world() {
  E2E_WORK=$work/worlds/$1
  mkdir -p "$E2E_WORK/data"
  cp -R "$data"/. "$E2E_WORK/data/"
}
# site NAME: the build with E2E_WORK's data tree.
site() {
  mkdir -p "$work/sites"
  cp -R "$work/dist" "$work/sites/$1"
  rm -rf "$work/sites/$1/data"
  cp -R "$E2E_WORK/data" "$work/sites/$1/data"
  node "$here/web/pack_data.mjs" "$work/sites/$1/data" "$work/sites/$1/data.js"
}

world flee
e2e_write_hero '40 10 8 5 5 6 30 0 1 0 0 0 0 1 3 1 3 1 3 20 10'
e2e_set_enemy_speed Pawn_Status_Info.txt 0
e2e_write_world '1 1 26 10'
site flee

world win
e2e_write_hero '40 500 8 5 5 6 10 0 1 0 0 0 0 1 3 1 3 1 3 20 10'
e2e_set_enemy_speed Knight_Status_Info.txt 0
e2e_write_world '2 1 24 10'
site win

world calm
for placements in "$E2E_WORK"/data/map_info/map1/*.txt; do echo 0 >"$placements"; done
site calm

world fatal
rm -f "$E2E_WORK/data/Hero_Info/"*
site fatal

rm -rf "$work/builds"
mkdir -p "$work/builds"
cp -R "$work/dist" "$work/builds/app-a"
cp -R "$work/dist" "$work/builds/app-b"
echo '<!-- build b -->' >>"$work/builds/app-b/index.html"
echo "window.chessrpgBuildMark = 'b';" >>"$work/builds/app-b/data.js"
node "$here/web/stamp_worker.mjs" "$work/builds/app-b" >/dev/null
