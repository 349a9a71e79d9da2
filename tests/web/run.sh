#!/usr/bin/env bash
# The browser tests: the web version and its sites (make_sites.sh), the first
# field frame the page must show (from the headless backend), then
# browser_test.mjs (the game) and app_test.mjs (the page as an app) in
# headless Chromium.
# Usage: run.sh WORK_DIR WEB_REFERENCE DATA_DIR CHROMIUM
set -euo pipefail
[ $# -eq 4 ] || { echo "usage: $0 WORK_DIR WEB_REFERENCE DATA_DIR CHROMIUM" >&2; exit 2; }
here=$(cd "$(dirname "$0")/../.." && pwd)
"$here/tests/web/make_sites.sh" "$1" "$3"
work=$(cd "$1" && pwd)
"$2" frame "$3" >"$work/first_frame.json"
CHESSRPG_WEB_WORK=$work CHESSRPG_CHROMIUM=$4 node --test --test-reporter=spec \
  "$here/tests/web/browser_test.mjs" "$here/tests/web/app_test.mjs"
