#!/usr/bin/env bash
# Assembles the zip a Windows player unpacks: a chessrpg folder holding the
# program, its data folder beside it, how to play, and the licence.
# Usage: tools/windows/pack_zip.sh path/to/chessrpg.exe path/to/zip
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
exe=$1
zip_path=$(mkdir -p "$(dirname "$2")" && cd "$(dirname "$2")" && pwd)/$(basename "$2")

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/chessrpg"
cp "$exe" "$stage/chessrpg/chessrpg.exe"
cp -r "$source_dir/data" "$stage/chessrpg/data"
# Windows line breaks, so that any editor shows the lines.
sed 's/$/\r/' "$source_dir/tools/windows/HOW_TO_PLAY.txt" >"$stage/chessrpg/HOW_TO_PLAY.txt"
sed 's/$/\r/' "$source_dir/LICENSE" >"$stage/chessrpg/LICENSE.txt"

rm -f "$zip_path"
(cd "$stage" && zip -q -r -X "$zip_path" chessrpg)
echo "Wrote $zip_path"
