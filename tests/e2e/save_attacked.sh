#!/usr/bin/env bash
# The save through the real program when things go wrong around it: a pipe at
# the save's name (never a hang), a full disk (the old save stays whole and no
# new file is left), a second game on the same save (it plays without saving),
# and a terminal closed after steps (its hang-up comes twice; the save holds
# the last step). The data checker meets the pipe too.
# Usage: save_attacked.sh PROGRAM DATA_DIR FULL_DISK_LIBRARY SLOW_SYNC_LIBRARY DATA_CHECK
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/small_world.sh"
e2e_setup "$1" "$2"
full_disk=$3
slow_sync=$4
data_check=$5
export XDG_STATE_HOME=$E2E_WORK/state
saves=$XDG_STATE_HOME/chessrpg
SCREEN2_MARKER='#   screen two of the attacked save                       #'

# Row 10 passes from screen 1 into screen 2, which has a marker of its own.
e2e_write_hero '40 10 8 5 5 6 30 0 7 0 0 0 0 1 3 1 3 1 3 50 10'
e2e_write_world
e2e_open_way_to_screen2 "$SCREEN2_MARKER"
on_screen2() { e2e_screen | sed 's/ *$//' | grep -qxF -- "$SCREEN2_MARKER"; }
hero_at() { [ "$(e2e_screen_row 10 | cut -c"$(($1 + 1))"-"$(($1 + 3))")" = '●' ]; }
save_file() { e2e_save_file; }
# The hero's column and row as the save holds them.
saved_cell() { sed -n 6p "$(save_file)"; }
quit() {
  e2e_tmux send-keys -t game C-c
  e2e_wait 10 e2e_game_gone || e2e_fail "$1: Ctrl+C did not end the game"
}

# A first journey: into screen 2, then ended.
e2e_start 80 30
e2e_wait 10 e2e_field_shown || e2e_fail "the program did not start"
e2e_tmux send-keys -t game Right Right Right Right Right
e2e_wait 10 on_screen2 || e2e_fail "the hero did not walk into screen 2"
quit "first journey"
saved=$(cat "$(save_file)")

# A closed terminal after steps on screen 2: its hang-up twice, as a terminal
# that goes away sends it; the disk is slow, so the second comes during the save.
E2E_ARGS=--continue E2E_PRELUDE="export LD_PRELOAD='$slow_sync' ASAN_OPTIONS=verify_asan_link_order=0" e2e_start 80 30
e2e_wait 10 on_screen2 || e2e_fail "--continue did not put the hero on screen 2"
e2e_tmux send-keys -t game Right Right Right
e2e_wait 10 hero_at 6 || e2e_fail "the hero did not walk three steps on screen 2"
pid=$(e2e_game_pid)
kill -HUP "$pid"
sleep 0.05
kill -HUP "$pid"
e2e_wait 10 e2e_game_gone || e2e_fail "the hang-up did not end the game"
[ "$(saved_cell)" = "6 10" ] || e2e_fail "after the hang-up the save holds the hero at '$(saved_cell)', not at his last step (6 10)"
saved=$(cat "$(save_file)")

# A full disk: the save cannot be written, the old one stays whole, and no new
# file is left beside it.
E2E_ARGS=--continue E2E_PRELUDE="export LD_PRELOAD='$full_disk' ASAN_OPTIONS=verify_asan_link_order=0" e2e_start 80 30
e2e_wait 10 on_screen2 || e2e_fail "full disk: --continue did not put the hero on screen 2"
e2e_tmux send-keys -t game Left Left Left Left
e2e_wait 10 e2e_screen_has '進行状況を保存できません: cannot write' || e2e_fail "full disk: the failed save is not told"
quit "full disk"
e2e_tmux capture-pane -p -J -t game | grep -qF 'No space left on device' || e2e_fail "full disk: the reason is not given"
[ "$(cat "$(save_file)")" = "$saved" ] || e2e_fail "full disk: the old save changed"
[ -z "$(ls "$saves" | grep '\.tmp-')" ] || e2e_fail "full disk: a new file was left: $(ls "$saves")"

# Two games on one save: the second says so and saves nothing; the first
# goes on saving.
E2E_ARGS=--continue e2e_start 80 30
e2e_wait 10 on_screen2 || e2e_fail "two games: the first did not continue"
first_socket=$E2E_SOCKET
E2E_SOCKET=$E2E_SOCKET-second
E2E_ARGS=--continue e2e_start 80 30
e2e_wait 10 e2e_screen_has 'この冒険はほかのゲームで遊ばれているため、このゲームでは保存しません。' ||
  e2e_fail "the second game does not say the journey is open in another"
e2e_tmux send-keys -t game Left Left Left Left Left Left Left Left
e2e_wait 10 e2e_field_shown || e2e_fail "the second game did not walk back to screen 1"
quit "second game"
[ "$(cat "$(save_file)")" = "$saved" ] || e2e_fail "the second game changed the save"
e2e_tmux kill-server
E2E_SOCKET=$first_socket
rm -f "$E2E_WORK/status"  # the second game's; the first game's pane writes it again as it ends
e2e_tmux send-keys -t game Right
e2e_wait 10 hero_at 8 || e2e_fail "the first game did not go on"
quit "first game"
[ "$(saved_cell)" = "8 10" ] || e2e_fail "the first game no longer saves: '$(saved_cell)'"

# A pipe at the save's name: no hang, the save is refused as not a regular
# file, and the game plays and ends as usual.
pipe=$(save_file)
rm -f "$pipe" && mkfifo "$pipe"
E2E_ARGS=--continue e2e_start 80 30
e2e_wait 10 e2e_field_shown || e2e_fail "a pipe at the save's name: no field"
e2e_wait 10 e2e_screen_has 'セーブを読み込めないため新しいゲームを始めます: cannot read' ||
  e2e_fail "a pipe at the save's name is not refused"
quit "a pipe at the save's name"
e2e_tmux capture-pane -p -J -t game | grep -qF "cannot read $pipe: not a regular file" ||
  e2e_fail "a pipe at the save's name is not refused as not a regular file"
timeout 10 "$data_check" --save "$pipe" "$E2E_WORK/data" >/dev/null 2>&1
[ $? != 124 ] || e2e_fail "data_check waited on the pipe"
echo "ok: a twice hung-up game saves its last step; a full disk, a second game and a pipe leave the save whole"
