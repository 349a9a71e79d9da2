#!/usr/bin/env bash
# Builds the browser version into DIST_DIR: the program with Emscripten in
# BUILD_DIR, then the page, xterm.js, the page's font (a subset of Debian's
# Noto Sans Mono CJK JP, cut to the characters of the game's texts and the data
# tree), its icons, web manifest and service worker, and the data tree.
# Usage: web/build.sh BUILD_DIR DIST_DIR [DATA_DIR]
# Environment: JOBS, CJK_FONT_DIR (where NotoSansCJK-Regular.ttc and
# NotoSansCJK-Bold.ttc are; default Debian's fonts-noto-cjk folder).
set -euo pipefail
[ $# -ge 2 ] || { echo "usage: $0 BUILD_DIR DIST_DIR [DATA_DIR]" >&2; exit 2; }
here=$(cd "$(dirname "$0")/.." && pwd)
build=$1
dist=$2
data=${3:-$here/data}
jobs=${JOBS:-$(nproc 2>/dev/null || echo 2)}
fonts=${CJK_FONT_DIR:-/usr/share/fonts/opentype/noto}
# Debian's Python, which has Debian's fontTools, whatever python3 comes first.
python=/usr/bin/python3
[ -x "$python" ] || python=python3
# Debian's Emscripten finds its own Node.js modules there when Node.js is not Debian's.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

# Optimised for speed: the start's first present runs before the browser has
# optimised the WebAssembly, and takes half as long as when built for size
# (20 KB more, gzip).
emcmake cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCHESSRPG_TESTS=OFF >/dev/null
cmake --build "$build" --target chessrpg_web -j "$jobs"

# xterm.js at the version the lock file names.
xterm=$here/web/node_modules/@xterm/xterm
if [ ! -f "$xterm/lib/xterm.js" ]; then
  (cd "$here/web" && npm ci --no-audit --no-fund --omit=dev)
fi

# The font, cut again only when what it is cut from or for has changed.
font=$build/font
stamp=$( { cat "$here/web/make_font.py" "$here/web/OFL.txt" "$here/console/texts.tsv"
           ls -l "$fonts/NotoSansCJK-Regular.ttc" "$fonts/NotoSansCJK-Bold.ttc"
           cd "$data" && find . -type f | LC_ALL=C sort | while read -r file; do echo "$file"; cat "$file"; done
         } | sha256sum)
if [ ! -f "$font/stamp" ] || [ "$(cat "$font/stamp")" != "$stamp" ]; then
  rm -rf "$font"
  "$python" "$here/web/make_font.py" "$fonts/NotoSansCJK-Regular.ttc" "$fonts/NotoSansCJK-Bold.ttc" \
    "Noto Sans Mono CJK JP" "$here/console/texts.tsv" "$data" "$here/web/OFL.txt" "$font"
  echo "$stamp" >"$font/stamp"
fi
[ "$build/icons/icon-512.png" -nt "$here/web/make_icons.py" ] ||
  "$python" "$here/web/make_icons.py" "$build/icons" 180 192 512

rm -rf "$dist"
mkdir -p "$dist/xterm" "$dist/data" "$dist/fonts" "$dist/icons"
cp "$here/web/index.html" "$here/web/page.js" "$here/web/page.css" "$here/web/sw.js" \
  "$here/web/manifest.webmanifest" "$build/chessrpg.wasm" "$dist/"
# The two large scripts run nearly all their functions while the page loads:
# the comment lets the browser compile them all as they come in, off the page's
# main thread, rather than each on its first call.
compiled_on_load() { { echo '//# allFunctionsCalledOnLoad'; cat "$1"; } >"$2"; }
compiled_on_load "$build/chessrpg.js" "$dist/chessrpg.js"
# For pages opened from the file system, which may not fetch chessrpg.wasm:
# the same bytes in a script.
{ printf '// chessrpg.wasm for pages opened from the file system, made by web/build.sh.\n'
  printf "window.chessrpgWasmBase64 = '%s';\n" "$(base64 -w0 "$build/chessrpg.wasm")"
} >"$dist/chessrpg-wasm.js"
cp "$xterm/css/xterm.css" "$xterm/LICENSE" "$dist/xterm/"
compiled_on_load "$xterm/lib/xterm.js" "$dist/xterm/xterm.js"
cp "$font/mono-regular.woff2" "$font/mono-bold.woff2" "$font/LICENSE.txt" "$dist/fonts/"
cp "$build/icons"/icon-*.png "$dist/icons/"
cp -R "$data"/. "$dist/data/"
# data.js, then the service worker's list of files.
node "$here/web/pack_data.mjs" "$dist/data" "$dist/data.js"
echo "web build: $dist"
