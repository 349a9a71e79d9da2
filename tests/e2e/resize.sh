#!/usr/bin/env bash
# A terminal smaller than 80 x 21 shows a notice instead of the game; grown
# again, the game's screen is repainted whole. While the notice shows, the
# game stands still: the wait under way is longer by the time it stood (the
# fatal stop's thirty seconds last that much longer), a Pawn that was closing
# in does not move, and keys typed meanwhile are dropped.
# Usage: resize.sh PROGRAM DATA_DIR
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/small_world.sh"
e2e_setup "$1" "$2"
cp -R "$E2E_WORK/data" "$E2E_WORK/shipped"
rm -f "$E2E_WORK"/data/Hero_Info/*   # the fatal stop: thirty seconds of a known screen
e2e_start 80 30
line1="ファイルが存在しないため情報の初期化に失敗しました。"
line4=" 30 秒後に強制終了しますので手動で閉じないでください。"
e2e_wait 10 e2e_screen_has "$line1" || e2e_fail "no fatal message"
started=$(date +%s)

e2e_tmux resize-window -t game -x 70 -y 20
e2e_wait 10 e2e_screen_has "at least 80 x 21" || e2e_fail "no notice at 70 x 20"
# Japanese first, on the top row, with the size the terminal has.
e2e_screen_row 0 | grep -q '^画面が小さすぎます。80 x 21 以上に広げてください。' || e2e_fail "the notice's first line is not the Japanese one"
e2e_screen_row 1 | grep -q '^（いまは 70 x 20 です）' || e2e_fail "the notice does not say the size in Japanese"
e2e_screen_lacks "$line1" || e2e_fail "the game still shows at 70 x 20"

e2e_tmux resize-window -t game -x 80 -y 20
e2e_wait 10 e2e_screen_has "This one is 80 x 20" || e2e_fail "no notice at 80 x 20"
sleep 4  # the stop stands still behind the notice

e2e_tmux resize-window -t game -x 80 -y 21
e2e_wait 10 e2e_screen_has "$line4" || e2e_fail "not repainted at 80 x 21"
e2e_screen_lacks "at least 80 x 21" || e2e_fail "the notice stays at 80 x 21"

e2e_tmux resize-window -t game -x 100 -y 40
e2e_wait 10 e2e_screen_has "$line1" || e2e_fail "not repainted at 100 x 40"
first=$(e2e_screen | sed -n 1p | sed 's/ *$//')
[ "$first" = "$line1" ] || e2e_fail "row 0 at 100 x 40 is '$first'"

e2e_wait 50 e2e_game_gone || e2e_fail "the fatal stop did not end"
lasted=$(($(date +%s) - started))
[ "$lasted" -ge 33 ] || e2e_fail "the fatal stop lasted $lasted s: the 4 s or more behind the notice were not added to its 30"
e2e_check_restored
echo "ok: notice below 80 x 21, repaint on resize, the stop ${lasted} s with the time behind the notice"

# A Pawn 40 columns right of the hero on his row reaches him in about 20
# moves of 130 ms. Hidden behind the notice for longer than that, it must not.
rm -rf "$E2E_WORK/data" && mv "$E2E_WORK/shipped" "$E2E_WORK/data"
e2e_write_hero '40 10 8 5 5 6 30 0 1 0 0 0 0 1 3 1 3 1 3 10 10'
e2e_write_world '1 1 50 10'
pawn=$(e2e_enemy_glyph Pawn_Status_Info.txt)
column_of() { local row prefix; row=$(e2e_screen_row 10); prefix=${row%%"$1"*}; [ "$prefix" != "$row" ] && echo ${#prefix}; }
e2e_start 80 30
e2e_wait 10 e2e_field_shown || e2e_fail "no field"
e2e_tmux resize-window -t game -x 70 -y 20
e2e_wait 10 e2e_screen_has "at least 80 x 21" || e2e_fail "no notice over the field"
e2e_tmux send-keys -t game Left Left Left Up Up
sleep 4
e2e_screen_has "at least 80 x 21" || e2e_fail "the notice went away by itself"
e2e_tmux resize-window -t game -x 80 -y 30
e2e_wait 10 e2e_field_shown || e2e_fail "the field is not back: $(e2e_screen_lacks 'Enemy View' || echo 'a battle began behind the notice')"
pawn_at=$(column_of "$pawn")
[ "$(column_of ●)" = 10 ] || e2e_fail "the hero moved behind the notice: column $(column_of ●)"
[ -n "$pawn_at" ] && [ "$pawn_at" -ge 20 ] || e2e_fail "the Pawn moved on behind the notice: column ${pawn_at:-none}"
e2e_wait 20 e2e_battle_screen_shown || e2e_fail "the game did not go on after the notice"
echo "ok: the game stood still behind the notice (Pawn at column $pawn_at) and went on after it"
