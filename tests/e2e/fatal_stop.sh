#!/usr/bin/env bash
# A data tree with a file missing: the real program shows the four lines of
# the fatal stop, keeps them for the full thirty seconds whatever keys come,
# then ends with status 255, gives the terminal back and leaves the same lines
# on the shell's screen with the full path of the file it could not open.
# Usage: fatal_stop.sh PROGRAM DATA_DIR
. "$(dirname "$0")/lib.sh"
e2e_setup "$1" "$2"
rm -f "$E2E_WORK"/data/Hero_Info/*
e2e_start 80 30

e2e_wait 10 e2e_screen_has "ファイルが存在しないため情報の初期化に失敗しました。" || e2e_fail "no fatal message"
started=$SECONDS
expected=(
  "ファイルが存在しないため情報の初期化に失敗しました。"
  "ファイルが実行ファイルと同じディレクトリ内にあるか確認してください。"
  "ファイルが見つからない場合はもう一度ダウンロードしてください。"
  " 30 秒後に強制終了しますので手動で閉じないでください。"
)
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
