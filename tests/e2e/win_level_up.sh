#!/usr/bin/env bash
# The real program on a small world: a lone Knight (speed 0, so it never
# dodges) reaches the hero; one sword cut of a hero with attack 500 fells it,
# the experience passes the hero's low threshold, and the level-up window shows
# its labels and values before the closing message and the field without the
# Knight.
# Usage: win_level_up.sh PROGRAM DATA_DIR
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/small_world.sh"
e2e_setup "$1" "$2"

e2e_write_hero '40 500 8 5 5 6 10 0 1 0 0 0 0 1 3 1 3 1 3 20 10'
e2e_set_enemy_speed Knight_Status_Info.txt 0
e2e_write_world '2 1 24 10'
knight=$(e2e_enemy_glyph Knight_Status_Info.txt)
[ -n "$knight" ] || e2e_fail "no Knight glyph in the data"

# The window's title and labels, and the new level, 2, risen into place on the
# level row: all of it stays up while the closing message is typed.
level_up_window() {
  local screen label
  screen=$(e2e_screen)
  echo "$screen" | grep -qF '勇者 - LEVEL UP + STATUS UP -' || return 1
  for label in レベル 体力 攻撃力 防御力 魔法攻撃力 魔法防御力 素早さ 経験値; do
    echo "$screen" | grep -F '<==' | grep -qF -- "$label" || return 1
  done
  echo "$screen" | grep -F 'レベル' | grep -F '<==' | grep -qE '\+1 +:     2( |$)'
}
field_back() { e2e_field_shown && e2e_screen_lacks 'Enemy View'; }

e2e_start_recorded 80 30
e2e_wait 20 e2e_game_running || e2e_fail "the program did not start"
e2e_wait 20 e2e_battle_screen_shown || e2e_fail "no battle screen: the Knight did not reach the hero"
e2e_wait 20 e2e_in_enemy_view "$knight" || e2e_fail "the Knight's glyph $knight is not in the enemy view"

# Fight, then the only target, then the first ability.
e2e_tmux send-keys -t game Enter
e2e_wait 20 e2e_screen_has '対　象　の　選　択' || e2e_fail "the target choice did not open"
e2e_tmux send-keys -t game Enter
e2e_wait 20 e2e_screen_has 'Ability' || e2e_fail "the ability list did not open"
e2e_tmux send-keys -t game Enter

e2e_wait 20 e2e_output_has '相手を倒しました。' || e2e_fail "the Knight did not fall"
e2e_wait 20 e2e_output_has '主人公がレベルアップしました。' || e2e_fail "no level-up message"
e2e_wait 20 level_up_window || e2e_fail "no level-up window with its labels and level 2"
# The closing message is typed out and at once replaced by the field, too
# briefly for capture-pane: it is looked for in what the program wrote.
e2e_wait 20 e2e_output_has 'バトルに勝ちました。' || e2e_fail "no closing message after the victory"
e2e_wait 20 field_back || e2e_fail "the field did not come back after the victory"
e2e_screen | grep -qF '●' || e2e_fail "the hero is not on the field"
e2e_screen_lacks "$knight" || e2e_fail "the Knight is still on the field"
e2e_game_running || e2e_fail "the program stopped after the victory"
echo "ok: a won battle shows the level-up window and returns to the field"
