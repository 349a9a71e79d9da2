#!/usr/bin/env bash
# The real program's command line. The printing options and mistakes end
# before the terminal is touched: nothing but their text on standard output
# or error, even with no terminal at all. --data plays the named tree from
# anywhere, and only that tree: a folder that is not there stops the game even
# where the working directory holds a good one.
# Usage: command_line.sh PROGRAM DATA_DIR VERSION
. "$(dirname "$0")/lib.sh"
e2e_setup "$1" "$2"
version=$3

# run ARGS...: the program without a terminal; sets status, out, err.
run() {
  "$E2E_PROGRAM" "$@" </dev/null >"$E2E_WORK/out" 2>"$E2E_WORK/err"
  status=$?
  out=$(cat "$E2E_WORK/out")
  err=$(cat "$E2E_WORK/err")
}

run --help
[ "$status" = 0 ] || e2e_fail "--help: status $status"
[ -z "$err" ] || e2e_fail "--help wrote to standard error: $err"
echo "$out" | head -n 1 | grep -qx 'Usage: chessrpg \[OPTION\]\.\.\.' || e2e_fail "--help: no usage line"
for word in '--data DIR' '--version' 'arrow keys' 'Ctrl+C' "$E2E_DATA"; do
  echo "$out" | grep -qF -- "$word" || e2e_fail "--help does not mention $word"
done
# The program in its build folder may use the source tree's data, and says so last.
[ "$(echo "$out" | grep '^  /' | tail -n 1)" = "  $E2E_DATA" ] || e2e_fail "--help: the source data is not the last folder"

run --version
[ "$status" = 0 ] && [ "$out" = "chessrpg $version" ] && [ -z "$err" ] ||
  e2e_fail "--version: status $status, '$out', '$err'"

run --data "$E2E_WORK/data" --frobnicate
[ "$status" = 2 ] || e2e_fail "an unknown option: status $status, expected 2"
[ -z "$out" ] || e2e_fail "an unknown option wrote to standard output (the terminal was touched)"
[ "$err" = "chessrpg: unrecognized option '--frobnicate'; try 'chessrpg --help'" ] ||
  e2e_fail "an unknown option: standard error is '$err'"

. "$(dirname "$0")/elsewhere.sh"
program=$E2E_PROGRAM
mark_tree "$E2E_WORK/data"
mkdir -p "$E2E_WORK/elsewhere"
play_from "$E2E_WORK/elsewhere" "$program" --data ../data
e2e_wait 10 first_row_marked || e2e_fail "--data ../data from another folder: the named tree's first frame is not shown"
e2e_wait 5 hero_shown || e2e_fail "--data: no hero on the first frame"
end_game

# A folder that is not there, from a folder that holds a good tree.
play_from "$E2E_WORK/data" "$program" --data "$E2E_WORK/no-such-folder"
e2e_wait 10 fatal_stop_shown || e2e_fail "--data with a missing folder: no fatal stop"
e2e_screen_lacks '●' || e2e_fail "--data with a missing folder: the hero is shown"
end_game
echo "ok: --help, --version and an unknown option before the terminal; --data plays the named tree or stops"
