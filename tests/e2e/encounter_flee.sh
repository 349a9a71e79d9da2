#!/usr/bin/env bash
# The real program on a small world: a Pawn three moves to the right of the
# hero on his row closes in and opens the battle screen, with its glyph in the
# enemy view. The hero flees (the Pawn has speed 0, so the escape cannot fail),
# and the field comes back without the Pawn.
# Usage: encounter_flee.sh PROGRAM DATA_DIR
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/small_world.sh"
e2e_setup "$1" "$2"

e2e_write_hero '40 10 8 5 5 6 30 0 1 0 0 0 0 1 3 1 3 1 3 20 10'
e2e_set_enemy_speed Pawn_Status_Info.txt 0
e2e_write_world '1 1 26 10'
pawn=$(e2e_enemy_glyph Pawn_Status_Info.txt)
[ -n "$pawn" ] || e2e_fail "no Pawn glyph in the data"

field_back() { e2e_field_shown && e2e_screen_lacks 'Enemy View'; }

e2e_start_recorded 80 30
e2e_wait 20 e2e_game_running || e2e_fail "the program did not start"
# The key help below the game's rows says what the keys do where the game is.
hint_says() { e2e_screen_row 21 | grep -qF -- "$1"; }
e2e_wait 20 hint_says "Ctrl+C 終わる" || e2e_wait 1 e2e_battle_screen_shown || e2e_fail "no key help under the field"
e2e_wait 20 e2e_battle_screen_shown || e2e_fail "no battle screen: the Pawn did not reach the hero"
e2e_wait 20 hint_says "コマンドをえらぶ" || e2e_fail "no key help under the command menu"
e2e_wait 20 e2e_in_enemy_view "$pawn" || e2e_fail "the Pawn's glyph $pawn is not in the enemy view"
# The game is drawn on black, its highlight bright white, so that the chosen
# command stands out on a light terminal as on a dark one.
looks=$(e2e_tmux capture-pane -e -p -t game)
grep -q $'\e\[40m' <<<"$looks" || e2e_fail "the battle screen is not drawn on black"
! grep -q $'\e\[49m' <<<"$looks" || e2e_fail "part of the battle screen is off its black background"
grep -q $'\e\[97m' <<<"$looks" || e2e_fail "nothing on the battle screen is bright white"

# Flee is the fourth command.
e2e_tmux send-keys -t game Down Down Down Enter
# The closing message is typed out and at once replaced by the field, too
# briefly for capture-pane: it is looked for in what the program wrote.
e2e_wait 20 e2e_output_has '主人公の「にげる」..........' || e2e_fail "the flee was not announced"
e2e_wait 20 e2e_output_has 'にげることに成功しました。' || e2e_fail "the escape was not reported"
e2e_wait 20 field_back || e2e_fail "the field did not come back after the escape"
e2e_screen | grep -qF '●' || e2e_fail "the hero is not on the field"
e2e_screen_lacks "$pawn" || e2e_fail "the Pawn is still on the field"
e2e_screen_lacks 'たたかう' || e2e_fail "the battle screen is left on the field"
e2e_game_running || e2e_fail "the program stopped after the escape"
echo "ok: an encounter opens the battle screen, and a flee returns to the field"
