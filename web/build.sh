#!/usr/bin/env bash
# Builds the browser version into DIST_DIR: the program with Emscripten in
# BUILD_DIR, then the page, xterm.js and the data tree beside it.
# Usage: web/build.sh BUILD_DIR DIST_DIR [DATA_DIR]
set -euo pipefail
[ $# -ge 2 ] || { echo "usage: $0 BUILD_DIR DIST_DIR [DATA_DIR]" >&2; exit 2; }
here=$(cd "$(dirname "$0")/.." && pwd)
build=$1
dist=$2
data=${3:-$here/data}
jobs=${JOBS:-$(nproc 2>/dev/null || echo 2)}
# Debian's Emscripten finds its own Node.js modules there when Node.js is not Debian's.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

emcmake cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=MinSizeRel -DCHESSRPG_TESTS=OFF >/dev/null
cmake --build "$build" --target chessrpg_web -j "$jobs"

# xterm.js at the version the lock file names.
xterm=$here/web/node_modules/@xterm/xterm
if [ ! -f "$xterm/lib/xterm.js" ]; then
  (cd "$here/web" && npm ci --no-audit --no-fund --omit=dev)
fi

rm -rf "$dist"
mkdir -p "$dist/xterm" "$dist/data"
cp "$here/web/index.html" "$here/web/page.js" "$here/web/page.css" "$build/chessrpg.js" "$dist/"
cp "$xterm/lib/xterm.js" "$xterm/css/xterm.css" "$xterm/LICENSE" "$dist/xterm/"
cp -R "$data"/. "$dist/data/"
node "$here/web/pack_data.mjs" "$dist/data" "$dist/data.js"
echo "web build: $dist"
