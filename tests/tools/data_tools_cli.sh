#!/usr/bin/env bash
# The data tools as command-line tools: --help on standard output with status
# 0, one line and status 2 for a folder without a data tree, the command a
# problem gives for a UTF-8 file really converts it, and the one-screen picture
# and the statistics fit an 80-column terminal.
# Usage: tests/tools/data_tools_cli.sh path/to/data_check path/to/world_picture path/to/data
set -uo pipefail
check=$(realpath "$1")
picture=$(realpath "$2")
data=$(realpath "$3")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0
failed() { echo "FAIL: $*"; fail=1; }

for tool in "$check" "$picture"; do
  name=chessrpg-$(basename "$tool" | tr _ -)
  out=$("$tool" --help 2>"$work/err"); status=$?
  [ "$status" = 0 ] || failed "$name --help: status $status"
  [ -s "$work/err" ] && failed "$name --help wrote to standard error"
  case $out in "使い方: $name "*) ;; *) failed "$name --help: $out" ;; esac
  out=$("$tool" --english --help); case $out in "Usage: $name "*) ;; *) failed "$name -e --help" ;; esac

  mkdir -p "$work/empty"
  out=$(cd "$work/empty" && "$tool" --english 2>"$work/err"); status=$?
  [ "$status" = 2 ] || failed "$name without a data tree: status $status"
  [ -z "$out" ] || failed "$name without a data tree printed: $out"
  [ "$(wc -l <"$work/err")" = 1 ] && grep -q "no data tree here" "$work/err" ||
    failed "$name without a data tree: $(cat "$work/err")"
done

# A file saved as UTF-8: the problem's own command converts it, and the tree passes.
cp -r "$data" "$work/data"
iconv -f CP932 -t UTF-8 "$data/Abilities/Flame.txt" >"$work/data/Abilities/Flame.txt"
out=$(cd "$work" && "$check" --english data); status=$?
[ "$status" = 1 ] || failed "a UTF-8 file: status $status"
command=$(echo "$out" | sed -n 's/^Abilities\/Flame.txt: .*Convert it: //p')
[ -n "$command" ] || failed "no command for the UTF-8 file: $out"
(cd "$work" && sh -c "$command") || failed "the command failed: $command"
out=$(cd "$work" && "$check" --english data) || failed "after the command: $out"
cmp -s "$work/data/Abilities/Flame.txt" "$data/Abilities/Flame.txt" || failed "the converted file differs"

# 80 columns: a byte of Shift-JIS is a column of the terminal.
for options in "--screen 1" "--screen 9 --english" "--stats" "--stats --english"; do
  # shellcheck disable=SC2086 # the options are words
  "$picture" $options "$data" >"$work/out" || failed "world picture $options: status $?"
  wide=$(iconv -f UTF-8 -t CP932 "$work/out" | LC_ALL=C awk 'length($0) > 80 { print NR": "length($0) }')
  [ -z "$wide" ] || failed "world picture $options: lines wider than 80 columns: $wide"
done
"$picture" --screen 10 "$data" >/dev/null 2>&1 && failed "--screen 10 was taken"

# A recording: replayed to its end on its tree, refused on another, and
# where a key was changed by hand, the key where the replay parts is named.
recordings=$(cd "$(dirname "$0")/../recordings" && pwd)
out=$("$check" --english --recording "$recordings/battle_lost.rec" "$data") || failed "a stored recording: $out"
echo "$out" | grep -q 'battle_lost.rec: replays to its end: [0-9]* keys' || failed "no replay said: $out"
rm -rf "$work/other" && cp -R "$data" "$work/other" && printf ' ' >>"$work/other/map_info/map1/9.txt"
out=$("$check" --english --recording "$recordings/battle_lost.rec" "$work/other"); status=$?
[ "$status" = 1 ] && echo "$out" | grep -qF 'not a recording of this data tree' || failed "another tree: $status $out"
awk '/^k 13 / && !done { $2 = 32; done = 1 } { print }' "$recordings/battles_won.rec" >"$work/changed.rec"
out=$("$check" --english --recording "$work/changed.rec" "$data"); status=$?
[ "$status" = 1 ] && echo "$out" | grep -q 'leaves the recording at key [0-9]* (' || failed "a changed key: $status $out"

[ "$fail" = 0 ] && echo "ok: --help, no data tree, the UTF-8 command, 80 columns, recordings"
exit $fail
