#!/usr/bin/env bash
# Saving and continuing through the real program on a small world. The hero, at
# level 7, walks into screen 2 (a save) and the program is killed; started again
# with --continue it puts him on screen 2 at the cell where he entered it, and a
# battle there shows his level. Ctrl+C in that battle keeps the save of the
# screen change. A damaged save is refused and kept; without a save --continue
# says so; both start new.
# Usage: save_continue.sh PROGRAM DATA_DIR
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/small_world.sh"
e2e_setup "$1" "$2"
export XDG_STATE_HOME=$E2E_WORK/state
saves=$XDG_STATE_HOME/chessrpg
SCREEN2_MARKER='#   screen two of the save check                          #'

e2e_write_hero '40 10 8 5 5 6 30 0 7 0 0 0 0 1 3 1 3 1 3 50 10'
e2e_set_enemy_speed Pawn_Status_Info.txt 0
e2e_write_world
e2e_open_way_to_screen2 "$SCREEN2_MARKER"
on_screen2() { e2e_screen | sed 's/ *$//' | grep -qxF -- "$SCREEN2_MARKER"; }
save_file() { e2e_save_file; }

"$E2E_PROGRAM" --help | grep -qF -- '-c, --continue' || e2e_fail "--help does not tell of --continue"

e2e_start 80 30
e2e_wait 10 e2e_field_shown || e2e_fail "the program did not start"
e2e_tmux send-keys -t game Right Right Right Right Right
e2e_wait 10 on_screen2 || e2e_fail "the hero did not walk into screen 2"
e2e_wait 10 test -n "$(save_file)" || e2e_fail "no save after the screen change"
kill -KILL "$(e2e_game_pid)"
e2e_wait 10 e2e_game_gone || e2e_fail "the program did not die"
saved=$(cat "$(save_file)")

# A new game would now be at level 1 on screen 1; a Pawn waits on screen 2.
e2e_write_hero '40 10 8 5 5 6 30 0 1 0 0 0 0 1 3 1 3 1 3 20 10'
echo '1 1 1 20 10' >"$E2E_WORK/data/map_info/map1/2.txt"
E2E_ARGS=--continue e2e_start 80 30
e2e_wait 10 on_screen2 || e2e_fail "--continue did not put the hero on screen 2"
[ "$(e2e_screen_row 10 | cut -c1-3)" = '●' ] || e2e_fail "the hero is not at column 0 of row 10: $(e2e_screen_row 10)"
e2e_wait 20 e2e_battle_screen_shown || e2e_fail "no battle with the Pawn of screen 2"
e2e_wait 10 e2e_screen_has 'Lv : 7' || e2e_fail "the battle does not show the saved level 7"
e2e_tmux send-keys -t game C-c
e2e_wait 10 e2e_game_gone || e2e_fail "Ctrl+C did not end the game"
[ "$(e2e_status)" = 0 ] || e2e_fail "exit status $(e2e_status) after Ctrl+C"
e2e_wait 10 e2e_screen_has '戦闘中に終わったため、この戦闘の前までを保存してあります。' ||
  e2e_fail "no line about the save kept from before the battle"
[ "$(cat "$(save_file)")" = "$saved" ] || e2e_fail "the save changed in the battle"

# A damaged save: refused in one line, kept as a copy, a new game on screen 1.
sed -i 's/^0 10$/0 11/' "$(save_file)"
E2E_ARGS=--continue e2e_start 80 30
e2e_wait 10 e2e_field_shown || e2e_fail "no new game after a damaged save"
e2e_wait 10 e2e_screen_has 'セーブを読み込めないため新しいゲームを始めます: item 27: check' ||
  e2e_fail "the damaged save is not reported on the hint line"
e2e_tmux send-keys -t game C-c
e2e_wait 10 e2e_game_gone || e2e_fail "Ctrl+C did not end the game"
e2e_wait 10 e2e_screen_has "読み込めなかったセーブの写し: $saves/" || e2e_fail "the copy of the damaged save is not named"
[ -f "$(ls "$saves"/save-*.bad-1.txt)" ] || e2e_fail "no copy of the damaged save"
e2e_tmux capture-pane -p -J -t game | grep -qxF "進行状況を保存しました。続きから遊ぶには: $E2E_PROGRAM --continue" ||
  e2e_fail "no line saying the progress was saved"

# No save at all.
rm -rf "$saves"
E2E_ARGS=--continue e2e_start 80 30
e2e_wait 10 e2e_field_shown || e2e_fail "no new game without a save"
e2e_wait 10 e2e_screen_has 'セーブがないため新しいゲームを始めます。' || e2e_fail "no line saying there is no save"

# The journey is never lost by starting the game again: with a save the game
# asks first and Enter goes on; a new journey is asked once more, and sets the
# saved one aside. The line after exit names the command that started it.
e2e_tmux send-keys -t game C-c
e2e_wait 10 e2e_game_gone || e2e_fail "Ctrl+C did not end the game"
echo 0 >"$E2E_WORK/data/map_info/map1/2.txt"
e2e_write_hero '40 10 8 5 5 6 30 0 5 0 0 0 0 1 3 1 3 1 3 50 10'
rm -rf "$saves"
e2e_start 80 30
e2e_wait 10 e2e_field_shown || e2e_fail "no save, and yet no field at once"
e2e_tmux send-keys -t game Right Right Right Right Right
e2e_wait 10 on_screen2 || e2e_fail "the hero did not walk into screen 2 again"
e2e_tmux send-keys -t game C-c
e2e_wait 10 e2e_game_gone || e2e_fail "Ctrl+C did not end the game"
journey=$(cat "$(save_file)")
export CHESSRPG_COMMAND='/home/田中/chessrpg/build.sh play --continue'  # in the system's UTF-8
e2e_start 80 30
e2e_wait 10 e2e_screen_has 'セーブした冒険があります。' || e2e_fail "started again, the game does not ask"
e2e_tmux send-keys -t game Enter
e2e_wait 10 on_screen2 || e2e_fail "Enter did not continue the journey"
e2e_tmux send-keys -t game C-c
e2e_wait 10 e2e_game_gone || e2e_fail "Ctrl+C did not end the game"
e2e_tmux capture-pane -p -J -t game | grep -qxF '進行状況を保存しました。続きから遊ぶには: /home/田中/chessrpg/build.sh play --continue' ||
  e2e_fail "the line after exit does not name the command that started the game"
unset CHESSRPG_COMMAND
e2e_start 80 30
e2e_wait 10 e2e_screen_has 'セーブした冒険があります。' || e2e_fail "the game does not ask the third time"
e2e_tmux send-keys -t game Down Enter
e2e_wait 10 e2e_screen_has 'セーブした冒険は控えに移ります' || e2e_fail "a new journey is not asked once more"
e2e_tmux send-keys -t game Down Enter
e2e_wait 10 e2e_field_shown || e2e_fail "no new journey on screen 1"
e2e_tmux send-keys -t game C-c
e2e_wait 10 e2e_game_gone || e2e_fail "Ctrl+C did not end the game"
aside=$(ls "$saves"/save-*.aside-1.txt)
[ "$(cat "$aside")" = "$journey" ] || e2e_fail "the journey set aside is not the one saved"
e2e_tmux capture-pane -p -J -t game | grep -qxF "控えに移した前の冒険: $aside" || e2e_fail "the journey set aside is not named"
echo "ok: a save made at a screen change continues on that screen and cell at its level; bad and missing saves start new;"
echo "ok: started again the game asks, Enter continues, a new journey is confirmed and sets the old one aside"
