#!/bin/sh
# Stands in for the browser tests where they cannot run: says why and skips
# (status 77), or fails when CHESSRPG_REQUIRE_WEB=1 asks for them (CI), unless
# this build is one that never runs them (ALWAYS_SKIP=ON).
# Usage: skipped.sh REASON [ALWAYS_SKIP]
if [ "${CHESSRPG_REQUIRE_WEB:-0}" = 1 ] && [ "${2:-OFF}" != ON ]; then
  echo "FAIL: the browser tests cannot run: $1 (CHESSRPG_REQUIRE_WEB=1 asks for them)" >&2
  exit 1
fi
echo "SKIPPED: browser tests: $1"
exit 77
