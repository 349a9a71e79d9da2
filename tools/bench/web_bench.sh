#!/usr/bin/env bash
# The browser version's figures for make bench: builds it and the sites it
# plays on (tests/web/make_sites.sh), with the benchmarks' small world for the
# pacing scene (and its lengths on the headless clock) and their scroll world
# (web_reference), then measures in headless Chromium (web_bench.mjs). Without Emscripten, Node.js or Chromium
# it says so and prints no rows.
# Usage: tools/bench/web_bench.sh BUILD_DIR DATA_DIR
# CHESSRPG_WEB_BENCH_PARTS=load (or keys, cpu, pacing, scroll, comma-separated)
# measures only those; CHESSRPG_WEB_BENCH_LOADS=N takes N page loads of each kind.
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
"$build/web_reference" pacing "$data" "$work/worlds/pacing" >"$work/pacing.json"
"$build/web_reference" scroll "$data" "$work/worlds/scroll"
for world in pacing scroll; do
  cp -R "$work/dist" "$work/sites/$world"
  rm -rf "$work/sites/$world/data"
  cp -R "$work/worlds/$world" "$work/sites/$world/data"
  node "$here/web/pack_data.mjs" "$work/sites/$world/data" "$work/sites/$world/data.js"
done

CHESSRPG_CHROMIUM=$(command -v chromium) node "$here/tools/bench/web_bench.mjs" "$work"
