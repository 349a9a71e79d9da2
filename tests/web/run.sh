#!/usr/bin/env bash
# The browser tests: builds the web version into WORK_DIR (web/build.sh, only
# what changed), makes a site for each data tree the tests play on (the
# shipped one, the battle checks' small worlds, one with the hero file gone
# from the server) and runs browser_test.mjs on them in headless Chromium.
# Usage: run.sh WORK_DIR WEB_REFERENCE DATA_DIR CHROMIUM
set -euo pipefail
[ $# -eq 4 ] || { echo "usage: $0 WORK_DIR WEB_REFERENCE DATA_DIR CHROMIUM" >&2; exit 2; }
here=$(cd "$(dirname "$0")/../.." && pwd)
mkdir -p "$1"
work=$(cd "$1" && pwd)
reference=$2
data=$(cd "$3" && pwd)
chromium=$4

if ! "$here/web/build.sh" "$work/build" "$work/dist" "$data" >"$work/build.log" 2>&1; then
  cat "$work/build.log"
  echo "FAIL: the web build failed" >&2
  exit 1
fi
# playwright-core, at the version the lock file names.
[ -f "$here/web/node_modules/playwright-core/package.json" ] ||
  (cd "$here/web" && npm ci --no-audit --no-fund >/dev/null)

"$reference" frame "$data" >"$work/first_frame.json"

# The small worlds come from the terminal checks' own helpers.
. "$here/tests/e2e/lib.sh"
. "$here/tests/e2e/small_world.sh"
rm -rf "$work/sites"
# site NAME: a copy of the build whose data tree is E2E_WORK's.
site() {
  mkdir -p "$work/sites"
  cp -R "$work/dist" "$work/sites/$1"
  rm -rf "$work/sites/$1/data"
  cp -R "$E2E_WORK/data" "$work/sites/$1/data"
  node "$here/web/pack_data.mjs" "$work/sites/$1/data" "$work/sites/$1/data.js"
}
world() {
  E2E_WORK=$work/worlds/$1
  rm -rf "$E2E_WORK"
  mkdir -p "$E2E_WORK/data"
  cp -R "$data"/. "$E2E_WORK/data/"
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

# Packed with the hero file, which is then gone from the server.
world fatal
site fatal
rm -f "$work/sites/fatal/data/Hero_Info/"*
E2E_WORK=

CHESSRPG_WEB_WORK=$work CHESSRPG_CHROMIUM=$chromium \
  node --test-reporter=spec "$here/tests/web/browser_test.mjs"
