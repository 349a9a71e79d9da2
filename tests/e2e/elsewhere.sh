# Helpers for the checks that play a program from a folder of their own
# choosing, and tell which data tree it plays. Source it after lib.sh and
# e2e_setup.

# play_from FOLDER PROGRAM ARGS...: starts PROGRAM with ARGS in FOLDER, in the
# check's tmux pane at 80 x 30.
play_from() {
  local folder=$1 program=$2
  shift 2
  local args=""
  [ $# -gt 0 ] && args=$(printf ' "%s"' "$@")
  printf '#!/bin/sh\ncd "%s" || exit 99\nexec "%s"%s\n' "$folder" "$program" "$args" >"$E2E_WORK/play.sh"
  chmod +x "$E2E_WORK/play.sh"
  E2E_PROGRAM=$E2E_WORK/play.sh
  e2e_start 80 30
}

# mark_tree DATA_DIR: the first row of screen 1 in that tree starts with 山山
# instead of 木木, so that its first frame tells it from any other tree.
mark_tree() {
  local layout=$1/map_form/map1/1.txt
  iconv -f CP932 -t UTF-8 "$layout" | sed '1s/^木木/山山/' | iconv -f UTF-8 -t CP932 >"$layout.new" &&
    mv "$layout.new" "$layout"
}
first_row_marked() { e2e_screen | head -n 1 | grep -q '^山山木'; }
first_row_shipped() { e2e_screen | head -n 1 | grep -q '^木木木'; }
hero_shown() { e2e_screen | grep -qF '●'; }
fatal_stop_shown() { e2e_screen_has "ファイルが存在しないため情報の初期化に失敗しました。"; }

# end_game: SIGTERM to the program, and the terminal as it was.
end_game() {
  kill -TERM "$(e2e_game_pid)"
  e2e_wait 10 e2e_game_gone || e2e_fail "the program did not end on SIGTERM"
  e2e_check_restored
}
