#!/usr/bin/env bash
# A trial run through the real program: --start puts the hero on the screen
# and cell asked for, --no-enemies keeps the screens free of their figures even
# across a screen change, and the run saves nothing: the state folder, with a
# save made by a game before, is left as it was, and the line after exit says
# so. With --continue the options are refused before the terminal is touched.
# Usage: trial_run.sh PROGRAM DATA_DIR
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/small_world.sh"
e2e_setup "$1" "$2"
export XDG_STATE_HOME=$E2E_WORK/state
saves=$XDG_STATE_HOME/chessrpg
SCREEN2_MARKER=$(printf '%-58s#' '#   screen two of the trial check')

e2e_write_hero '40 10 8 5 5 6 30 0 1 0 0 0 0 1 3 1 3 1 3 50 10'
e2e_write_world '1 1 30 5'
# Row 10 passes between screens 1 and 2; screen 2 has a marker and a Pawn.
forms=$E2E_WORK/data/map_form/map1
sed -i '11s/#$/ /' "$forms/1.txt"
sed -i "11s/^#/ /; 3s/.*/$SCREEN2_MARKER/" "$forms/2.txt"
echo '1 1 1 40 15' >"$E2E_WORK/data/map_info/map1/2.txt"
on_screen2() { e2e_screen | sed 's/ *$//' | grep -qxF -- "$SCREEN2_MARKER"; }
pawn=$(e2e_enemy_glyph Pawn_Status_Info.txt)
state() { find "$saves" -type f -exec ls -l --time-style=full-iso {} + 2>/dev/null | sort; cat "$saves"/* 2>/dev/null; }

# A game of the player's own walks into screen 2, which saves it.
e2e_start 80 30
e2e_wait 10 e2e_field_shown || e2e_fail "the program did not start"
e2e_tmux send-keys -t game Right Right Right Right Right
e2e_wait 10 on_screen2 || e2e_fail "the hero did not walk into screen 2"
e2e_wait 10 test -n "$(ls "$saves"/save-*.txt 2>/dev/null)" || e2e_fail "no save after the screen change"
e2e_tmux send-keys -t game C-c
e2e_wait 10 e2e_game_gone || e2e_fail "Ctrl+C did not end the game"
before=$(state)

# The trial: on screen 2 at column 0 of row 10, without enemies.
E2E_ARGS='--start 2,0,10 --no-enemies' e2e_start 80 30
e2e_wait 10 on_screen2 || e2e_fail "--start did not put the hero on screen 2"
[ "$(e2e_screen_row 10 | cut -c1-3)" = '●' ] || e2e_fail "the hero is not at column 0 of row 10: $(e2e_screen_row 10)"
sleep 1
e2e_screen_lacks "$pawn" || e2e_fail "screen 2's Pawn roams in a run without enemies"
e2e_tmux send-keys -t game Left
e2e_wait 10 e2e_field_shown || e2e_fail "the hero did not walk into screen 1"
sleep 1
e2e_screen_lacks "$pawn" || e2e_fail "screen 1's Pawn roams in a run without enemies"
e2e_tmux send-keys -t game C-c
e2e_wait 10 e2e_game_gone || e2e_fail "Ctrl+C did not end the trial"
[ "$(e2e_status)" = 0 ] || e2e_fail "exit status $(e2e_status) after Ctrl+C"
e2e_wait 10 e2e_screen_has '試しのプレイ（--start、--no-enemies）なので保存していません。' ||
  e2e_fail "no line saying the trial was not saved"
e2e_screen_lacks '進行状況を保存しました' || e2e_fail "the trial says it saved"
[ "$(state)" = "$before" ] || e2e_fail "the trial touched the state folder: $(state)"

# With --continue: one line, status 2, before the terminal.
"$E2E_PROGRAM" --no-enemies --continue >"$E2E_WORK/out" 2>"$E2E_WORK/err"
[ $? = 2 ] || e2e_fail "--no-enemies with --continue was taken"
[ "$(wc -l <"$E2E_WORK/err")" = 1 ] && [ ! -s "$E2E_WORK/out" ] || e2e_fail "not one line: $(cat "$E2E_WORK/err")"
echo "ok: the trial started on screen 2 without enemies, and saved nothing"
