#!/usr/bin/env bash
# A data tree with a file missing: the real program shows the four lines of
# the fatal stop, keeps them for the full thirty seconds whatever keys come,
# then ends with status 255, gives the terminal back and leaves the same lines
# on the shell's screen with the full path of the file it could not open.
# Met low on the screen in play, the stop shows all four lines (the key help
# makes way), and Ctrl+C ends it as the wait would: status 255, its lines
# left, and no save of the screen that could not be read.
# Usage: fatal_stop.sh PROGRAM DATA_DIR
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/small_world.sh"
e2e_setup "$1" "$2"
export XDG_STATE_HOME=$E2E_WORK/state
expected=(
  "ファイルが存在しないため情報の初期化に失敗しました。"
  "ファイルが実行ファイルと同じディレクトリ内にあるか確認してください。"
  "ファイルが見つからない場合はもう一度ダウンロードしてください。"
  " 30 秒後に強制終了しますので手動で閉じないでください。"
)

# The hero on row 18 of screen 1 walks down through a gap in the walls into
# screen 4, whose placement file is missing.
e2e_write_hero '40 10 8 5 5 6 30 0 1 0 0 0 0 1 3 1 3 1 3 20 18'
e2e_write_world
forms=$E2E_WORK/data/map_form/map1
sed -i '20s/^\(#\{20\}\)##/\1  /' "$forms/1.txt"
sed -i '1s/^\(#\{20\}\)##/\1  /' "$forms/4.txt"
rm "$E2E_WORK/data/map_info/map1/4.txt"
e2e_start 80 30
e2e_wait 10 e2e_screen_has '●' || e2e_fail "the small world did not start"
e2e_tmux send-keys -t game Down Down
e2e_wait 10 e2e_screen_has "${expected[3]}" || e2e_fail "no fatal stop at the screen change"
for line in "${expected[@]}"; do
  e2e_screen | sed 's/ *$//' | grep -qxF -- "$line" || e2e_fail "the stop's line '$line' is not shown whole"
done
e2e_screen_lacks '移動' || e2e_fail "the key help still shows during the stop"
e2e_tmux send-keys -t game C-c
e2e_wait 10 e2e_game_gone || e2e_fail "Ctrl+C did not end the stop"
[ "$(e2e_status)" = 255 ] || e2e_fail "Ctrl+C in the stop: exit status $(e2e_status), expected 255"
after=$(e2e_screen | sed -n '/BEFORE-GAME/,/AFTER-GAME/p')
for line in "${expected[@]}" "ファイル: $E2E_WORK/data/map_info/map1/4.txt"; do
  echo "$after" | grep -qxF -- "$line" || e2e_fail "after Ctrl+C, no line '$line'"
done
echo "$after" | grep -qF '保存しました' && e2e_fail "Ctrl+C in the stop saved: $after"
[ -z "$(ls "$XDG_STATE_HOME"/chessrpg/save-*.txt 2>/dev/null)" ] || e2e_fail "Ctrl+C in the stop wrote a save"

# The stop at start-up: the hero file is missing from the shipped tree.
rm -rf "$E2E_WORK/data" && mkdir "$E2E_WORK/data" && cp -R "$E2E_DATA"/. "$E2E_WORK/data/"
rm -f "$E2E_WORK"/data/Hero_Info/*
e2e_start 80 30

e2e_wait 10 e2e_screen_has "ファイルが存在しないため情報の初期化に失敗しました。" || e2e_fail "no fatal message"
started=$SECONDS
screen=$(e2e_screen)
for row in 0 1 2 3; do
  line=$(echo "$screen" | sed -n "$((row + 1))p" | sed 's/ *$//')
  [ "$line" = "${expected[$row]}" ] || e2e_fail "row $row is '$line', expected '${expected[$row]}'"
done

# Keys do not shorten the wait.
e2e_tmux send-keys -t game Enter Space Up x
sleep 2
e2e_game_running || e2e_fail "the program ended early after keys"

e2e_wait 40 e2e_game_gone || e2e_fail "the program did not end after the wait"
waited=$((SECONDS - started))
[ $waited -ge 28 ] || e2e_fail "the program ended after ${waited} s, expected 30"
[ "$(e2e_status)" = 255 ] || e2e_fail "exit status $(e2e_status), expected 255"
e2e_check_restored
after=$(e2e_screen | sed -n '/BEFORE-GAME/,/AFTER-GAME/p')
for line in "${expected[@]}" "ファイル: $E2E_WORK/data/Hero_Info/Hero_Status_Info.txt"; do
  echo "$after" | grep -qxF -- "$line" || e2e_fail "after exit, no line '$line'"
done
echo "ok: fatal stop shown for ${waited} s, status 255, terminal restored, its lines and the file left on the screen"
