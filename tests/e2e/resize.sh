#!/usr/bin/env bash
# A terminal smaller than 80 x 21 shows a notice instead of the game; grown
# again, the game's screen is repainted whole.
# Usage: resize.sh PROGRAM DATA_DIR
. "$(dirname "$0")/lib.sh"
e2e_setup "$1" "$2"
rm -f "$E2E_WORK"/data/Hero_Info/*   # the fatal stop: thirty seconds of a known screen
e2e_start 80 30
line1="ファイルが存在しないため情報の初期化に失敗しました。"
line4=" 30 秒後に強制終了しますので手動で閉じないでください。"
e2e_wait 10 e2e_screen_has "$line1" || e2e_fail "no fatal message"

e2e_tmux resize-window -t game -x 70 -y 20
e2e_wait 10 e2e_screen_has "at least 80 x 21" || e2e_fail "no notice at 70 x 20"
e2e_screen_lacks "$line1" || e2e_fail "the game still shows at 70 x 20"

e2e_tmux resize-window -t game -x 80 -y 20
e2e_wait 10 e2e_screen_has "This one is 80 x 20" || e2e_fail "no notice at 80 x 20"

e2e_tmux resize-window -t game -x 80 -y 21
e2e_wait 10 e2e_screen_has "$line4" || e2e_fail "not repainted at 80 x 21"
e2e_screen_lacks "at least 80 x 21" || e2e_fail "the notice stays at 80 x 21"

e2e_tmux resize-window -t game -x 100 -y 40
e2e_wait 10 e2e_screen_has "$line1" || e2e_fail "not repainted at 100 x 40"
first=$(e2e_screen | sed -n 1p | sed 's/ *$//')
[ "$first" = "$line1" ] || e2e_fail "row 0 at 100 x 40 is '$first'"

kill -s TERM "$(e2e_game_pid)"
e2e_wait 10 e2e_game_gone || e2e_fail "the program did not end"
e2e_check_restored
echo "ok: notice below 80 x 21, repaint on resize"
