#!/usr/bin/env bash
# Fails when a generated texts header no longer matches its list.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
tmp=$(mktemp)
trap 'rm -f "$tmp"' EXIT
for room in console platform; do
  "$here/tools/gen_texts.sh" "$here/$room/texts.tsv" "$tmp"
  if ! diff -u "$here/$room/texts.h" "$tmp"; then
    echo "$room/texts.h is out of date: run tools/gen_texts.sh $room/texts.tsv $room/texts.h" >&2
    exit 1
  fi
done
