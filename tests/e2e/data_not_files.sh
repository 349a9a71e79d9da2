#!/usr/bin/env bash
# Data files that are not regular files: a pipe (which would wait for a writer
# for ever) and a link to /dev/zero (which never ends) in place of the hero
# file. The real program takes each for a missing file at once and shows the
# fatal stop; it is then ended rather than waited for.
# Usage: data_not_files.sh PROGRAM DATA_DIR
. "$(dirname "$0")/lib.sh"
e2e_setup "$1" "$2"
hero_file=$E2E_WORK/data/Hero_Info/Hero_Status_Info.txt

for kind in pipe zero; do
  rm -f "$hero_file"
  if [ $kind = pipe ]; then mkfifo "$hero_file"; else ln -s /dev/zero "$hero_file"; fi
  e2e_start 80 30
  e2e_wait 10 e2e_screen_has "ファイルが存在しないため情報の初期化に失敗しました。" ||
    e2e_fail "$kind in place of the hero file: no fatal message"
  kill -TERM "$(e2e_game_pid)"
  e2e_wait 10 e2e_game_gone || e2e_fail "$kind: the program did not end on SIGTERM"
  echo "ok: a $kind in place of the hero file stops the game as a missing file"
done
