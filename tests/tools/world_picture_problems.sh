#!/usr/bin/env bash
# The world picture finds what is wrong with a broken copy of the shipped world:
# a long layout line, a figure in a wall, an enemy kind outside 1 to 4, an
# unreachable screen, an open outer edge, a refused placement value.
# Usage: tests/tools/world_picture_problems.sh path/to/world_picture path/to/data
set -euo pipefail
export LC_ALL=C  # the layouts are Shift-JIS: sed works on bytes
tool=$1
data=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$data" "$work/data"
map=$work/data/map_form/map1
info=$work/data/map_info/map1

# Screen 1, row 5 gets one more character; screen 8's way in (rows 5 to 7 of
# its left edge) is walled up; screen 3's top row is opened; a Pawn stands in
# screen 2's wall and a kind-7 figure joins screen 4; screen 6 holds a group of 9.
sed -i '6s/^/x/' "$map/1.txt"
sed -i '6,8s/^  /##/' "$map/8.txt"
sed -i "1s/^.*\$/$(printf '%59s' '')/" "$map/3.txt"
printf '1\n1 1 0 0\n' >"$info/2.txt"
printf '4\n1 3 12 8\n2 2 36 3\n2 2 32 17\n7 1 20 10\n' >"$info/4.txt"
printf '1\n3 9 12 4\n' >"$info/6.txt"

status=0
output=$("$tool" --english "$work/data") || status=$?
echo "$output" | sed -n '/^Problems:/,$p'
fail=0
[ "$status" = 1 ] || { echo "FAIL: exit status $status, expected 1"; fail=1; }
for expected in \
  'map_form/map1/1.txt: line 6: the line holds 60 bytes (59, then a line break' \
  'map_info/map1/2.txt: line 2, column 7: enemy 1 at column 0, row 0 of screen 2 stands in a wall (two open cells)' \
  'map_info/map1/4.txt: line 5, column 1: enemy 4 kind 7: no battle kind' \
  'map_info/map1/6.txt: line 2, column 3: enemy 1 group size 9: the game stops on entering screen 6 (1 to 7)' \
  'map_form/map1/8.txt: screen 8 cannot be reached from the start' \
  "map_form/map1/3.txt: line 1, column"; do
  echo "$output" | grep -qF -- "$expected" || { echo "FAIL: missing: $expected"; fail=1; }
done
echo "$output" | grep -qF "the hero reaches the world's top edge" || { echo "FAIL: the open top edge"; fail=1; }
exit $fail
