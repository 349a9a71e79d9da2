#!/usr/bin/env bash
# The real program's command line. The printing options and mistakes end
# before the terminal is touched: nothing but their text on standard output
# or error, even with no terminal at all, and an output that cannot be written
# is a failure. --data plays the named tree from anywhere, and only that tree;
# a path that is not a folder it can use is a mistake of the command line.
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
[ "$status" = 0 ] && [ "$(echo "$out" | head -n 1)" = "chessrpg $version" ] && [ -z "$err" ] &&
  echo "$out" | grep -q '^License: MIT' ||
  e2e_fail "--version: status $status, '$out', '$err'"

"$E2E_PROGRAM" --version >/dev/full 2>/dev/null && e2e_fail "--version into a full disk: status 0"

run --data "$E2E_WORK/data" --frobnicate
[ "$status" = 2 ] || e2e_fail "an unknown option: status $status, expected 2"
[ -z "$out" ] || e2e_fail "an unknown option wrote to standard output (the terminal was touched)"
[ "$err" = "chessrpg: unrecognized option '--frobnicate'; try 'chessrpg --help'" ] ||
  e2e_fail "an unknown option: standard error is '$err'"

. "$(dirname "$0")/elsewhere.sh"
program=$E2E_PROGRAM  # play_from replaces E2E_PROGRAM by its script
mark_tree "$E2E_WORK/data"
mkdir -p "$E2E_WORK/elsewhere"
play_from "$E2E_WORK/elsewhere" "$program" --data ../data
e2e_wait 10 first_row_marked || e2e_fail "--data ../data from another folder: the named tree's first frame is not shown"
e2e_wait 5 hero_shown || e2e_fail "--data: no hero on the first frame"
end_game

# A path that is no folder to play: one line, status 2, even without a
# terminal (the check comes first), and never a wait on a pipe.
mkfifo "$E2E_WORK/pipe"
for bad in "no-such-folder:No such file or directory" "data/map_info/map1.txt:not a folder" "pipe:not a folder"; do
  path=$E2E_WORK/${bad%%:*}
  E2E_PROGRAM=$program run --data "$path"
  [ "$status" = 2 ] && [ -z "$out" ] && [ "$err" = "chessrpg: --data $path: ${bad#*:}" ] ||
    e2e_fail "--data $path: status $status, '$out', '$err'"
done
echo "ok: --help, --version and an unknown option before the terminal; --data plays the named tree or is refused"
