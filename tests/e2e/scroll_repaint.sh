#!/usr/bin/env bash
# The real program on the shipped world without roaming enemies: the hero
# walks down out of screen 1 into screen 4, and right into screen 2. The
# terminal is brought up to date by scrolling and shifting what it shows;
# after each screen change it must show exactly what a full repaint (forced
# by a resize) shows, and the new screen's layout.
# Usage: scroll_repaint.sh PROGRAM DATA_DIR
. "$(dirname "$0")/lib.sh"
e2e_setup "$1" "$2"

for n in 1 2 3 4 5 6 7 8 9; do echo 0 >"$E2E_WORK/data/map_info/map1/$n.txt"; done
# The hero starts on row 10 of screen 1 at the given column.
place_hero() {
  printf '勇者\n40 10 8 5 5 6\n30 0 1\n0 0 0 0\n1 5 1 3 1 3\n%s 10\n' "$1" | iconv -f UTF-8 -t CP932 \
    >"$E2E_WORK/data/Hero_Info/Hero_Status_Info.txt" || e2e_fail "cannot write the hero file"
}

layout_row() { sed -n "$(($2 + 1))p" "$E2E_DATA/map_form/map1/$1.txt" | iconv -f CP932 -t UTF-8 | sed 's/ *$//'; }
screen_row() { e2e_screen | sed -n "$(($1 + 1))p" | sed 's/ *$//'; }
row_is() { [ "$(screen_row "$1")" = "$2" ]; }

# Compares the screen with the layout of screen $1, row by row; the hero's
# row is compared with the hero (drawn one column wide, then a blank) taken out.
check_screen() {
  local n=$1 row shown
  for row in $(seq 0 19); do
    shown=$(screen_row "$row" | sed 's/●/ /' | sed 's/ *$//')
    [ "$shown" = "$(layout_row "$n" "$row")" ] || e2e_fail "row $row of screen $n is shown as '$shown'"
  done
}

# The screen as drawn step by step, then as drawn whole after a resize.
check_repaint() {
  local before after
  before=$(e2e_screen)
  e2e_tmux resize-window -t game -x 81 -y 30
  sleep 0.5
  e2e_tmux resize-window -t game -x 80 -y 30
  sleep 0.5
  after=$(e2e_screen)
  [ "$before" = "$after" ] || e2e_fail "a repaint changed the screen: $(diff <(echo "$before") <(echo "$after"))"
}

# walk COLUMN KEY COUNT SCREEN: from COLUMN of row 10, COUNT presses of KEY
# lead into SCREEN.
walk() {
  place_hero "$1"
  E2E_ARGS=--new e2e_start 80 30  # each walk a journey of its own
  e2e_wait 10 e2e_game_running || e2e_fail "the program did not start"
  e2e_wait 10 row_is 0 "$(layout_row 1 0)" || e2e_fail "screen 1 is not shown"
  for _ in $(seq "$3"); do e2e_tmux send-keys -t game "$2"; sleep 0.1; done
  e2e_wait 10 row_is 1 "$(layout_row "$4" 1)" || e2e_fail "screen $4 did not appear"
  sleep 0.5
  check_screen "$4"
  check_repaint
}

# Column 6 lies above the gap in screen 1's south edge; row 10 leads east.
walk 6 Down 10 4
walk 28 Right 16 2
echo "ok: screens scrolled in show as a full repaint does"
