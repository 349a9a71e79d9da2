#!/usr/bin/env bash
# The real program on the shipped world: the start screen appears (the village
# of screen 1 with the hero), and walking right along row 10 leads through the
# gap in its east edge onto screen 2, where the hero stands at column 0.
# Usage: field_walk.sh PROGRAM DATA_DIR
. "$(dirname "$0")/lib.sh"
e2e_setup "$1" "$2"

# Rows of a layout as the terminal shows them: UTF-8, trailing blanks dropped.
layout_row() { sed -n "$(($2 + 1))p" "$E2E_DATA/map_form/map1/$1.txt" | iconv -f CP932 -t UTF-8 | sed 's/ *$//'; }
screen_row() { e2e_screen | sed -n "$(($1 + 1))p" | sed 's/ *$//'; }
row_is() { [ "$(screen_row "$1")" = "$2" ]; }
hero_row() { e2e_screen | grep -n '●' | cut -d: -f1 | tr '\n' ' '; }
hero_on_row() { [ "$(hero_row)" = "$(($1 + 1)) " ]; }
hero_at_column_zero() { screen_row "$1" | grep -q '^●'; }

e2e_start 80 30
e2e_wait 10 e2e_game_running || e2e_fail "the program did not start"
e2e_wait 10 row_is 0 "$(layout_row 1 0)" || e2e_fail "the top of screen 1 is not shown"
row_is 19 "$(layout_row 1 19)" || e2e_fail "the bottom of screen 1 is not shown"
screen_row 3 | grep -qF '家家' || e2e_fail "the village houses are not shown"
e2e_wait 5 hero_on_row 10 || e2e_fail "the hero is not alone on row 10 (rows: $(hero_row))"

# 14 full steps to column 56, one column to 57, then into screen 2.
for _ in $(seq 16); do e2e_tmux send-keys -t game Right; done
e2e_wait 10 row_is 1 "$(layout_row 2 1)" || e2e_fail "screen 2 did not appear"
e2e_wait 5 hero_at_column_zero 10 || e2e_fail "the hero is not at column 0 of row 10 on screen 2"
e2e_game_running || e2e_fail "the program stopped on the walk"
echo "ok: the start screen, and a walk into screen 2"
