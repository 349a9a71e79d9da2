#!/usr/bin/env bash
# Fails when a generated texts header no longer matches its list.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
tmp=$(mktemp)
trap 'rm -f "$tmp"' EXIT
for list in console/texts platform/texts platform/win32_texts; do
  "$here/tools/gen_texts.sh" "$here/$list.tsv" "$tmp"
  if ! diff -u "$here/$list.h" "$tmp"; then
    echo "$list.h is out of date: run tools/gen_texts.sh $list.tsv $list.h" >&2
    exit 1
  fi
done
