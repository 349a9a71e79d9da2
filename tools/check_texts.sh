#!/usr/bin/env bash
# Fails when console/texts.h no longer matches console/texts.tsv.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
tmp=$(mktemp)
trap 'rm -f "$tmp"' EXIT
"$here/tools/gen_texts.sh" "$here/console/texts.tsv" "$tmp"
if ! diff -u "$here/console/texts.h" "$tmp"; then
  echo "console/texts.h is out of date: run tools/gen_texts.sh" >&2
  exit 1
fi
