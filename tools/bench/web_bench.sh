#!/usr/bin/env bash
# The browser version's figures for make bench: builds it and the sites it
# plays on (tests/web/make_sites.sh) and the small world of the pacing scene
# with its lengths on the headless clock (web_reference), then measures in
# headless Chromium (web_bench.mjs). Without Emscripten, Node.js or Chromium
# it says so and prints no rows.
# Usage: tools/bench/web_bench.sh BUILD_DIR DATA_DIR
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 BUILD_DIR DATA_DIR" >&2; exit 2; }
here=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "$1" && pwd)
data=$(cd "$2" && pwd)
for tool in emcc node npm chromium; do
  command -v "$tool" >/dev/null || { echo "browser figures skipped: $tool is not installed"; exit 0; }
done

work=$build/web
"$here/tests/web/make_sites.sh" "$work" "$data"
"$build/web_reference" frame "$data" >"$work/first_frame.json"
"$build/web_reference" pacing "$data" "$work/pacing-data" >"$work/pacing.json"
rm -rf "$work/sites/pacing"
cp -R "$work/dist" "$work/sites/pacing"
rm -rf "$work/sites/pacing/data"
cp -R "$work/pacing-data" "$work/sites/pacing/data"
node "$here/web/pack_data.mjs" "$work/sites/pacing/data" "$work/sites/pacing/data.js"

CHESSRPG_CHROMIUM=$(command -v chromium) node "$here/tools/bench/web_bench.mjs" "$work"
