#!/usr/bin/env bash
# The real program records a journey on a small world (a Pawn closes in, the
# hero flees, walks on) and is ended with Ctrl+C; replayed, the battle's
# messages come again and the last screen of the play is the same, cell for
# cell; a replay on an edited data tree is refused in one line.
# Usage: record_replay.sh PROGRAM DATA_DIR
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/small_world.sh"
e2e_setup "$1" "$2"

e2e_write_hero '40 10 8 5 5 6 30 0 1 0 0 0 0 1 3 1 3 1 3 20 10'
e2e_set_enemy_speed Pawn_Status_Info.txt 0
e2e_write_world '1 1 26 10'
recording=$E2E_WORK/journey.rec
field_back() { e2e_field_shown && e2e_screen_lacks 'Enemy View'; }
game_rows() { e2e_screen | head -n 20; }

E2E_ARGS="--new --record $recording" e2e_start_recorded 80 30
e2e_wait 20 e2e_battle_screen_shown || e2e_fail "no battle screen: the Pawn did not reach the hero"
e2e_tmux send-keys -t game Down Down Down Enter
e2e_wait 20 e2e_output_has 'にげることに成功しました。' || e2e_fail "the escape was not reported"
e2e_wait 20 field_back || e2e_fail "the field did not come back after the escape"
e2e_tmux send-keys -t game Up Up Left
sleep 1
last=$(game_rows)
e2e_tmux send-keys -t game C-c
e2e_wait 10 e2e_game_gone || e2e_fail "Ctrl+C did not end the recorded game"
[ "$(e2e_status)" = 0 ] || e2e_fail "the recorded game ended with status $(e2e_status)"
tail -n 1 "$recording" | grep -q '^e ' || e2e_fail "the recording has no end line: $(tail -n 1 "$recording")"

E2E_ARGS="--replay $recording" e2e_start_recorded 80 30
e2e_wait 30 e2e_screen_has '再生が終わりました' || e2e_fail "the replay did not reach the end of its recording"
e2e_output_has '主人公の「にげる」..........' || e2e_fail "the replay did not show the flight"
e2e_output_has 'にげることに成功しました。' || e2e_fail "the replay did not show the escape"
[ "$(game_rows)" = "$last" ] || e2e_fail "the replay's last screen differs from the play's:
$last"
e2e_tmux send-keys -t game C-c
e2e_wait 10 e2e_game_gone || e2e_fail "Ctrl+C did not end the replay"
[ "$(e2e_status)" = 0 ] || e2e_fail "the replay ended with status $(e2e_status)"
e2e_check_restored

# The same recording on a data tree whose Pawn is one point faster.
e2e_set_enemy_speed Pawn_Status_Info.txt 1
cd "$E2E_WORK/data" || e2e_fail "no data folder"
said=$("$E2E_PROGRAM" --replay "$recording" 2>&1 </dev/null)
status=$?
[ "$status" = 2 ] || e2e_fail "a replay on an edited tree ended with status $status"
[ "$(printf '%s\n' "$said" | wc -l)" = 1 ] || e2e_fail "more than one line: $said"
printf '%s\n' "$said" | grep -qF "recorded on another data tree than $E2E_WORK/data" ||
  e2e_fail "the refusal does not say why: $said"

# A relative path is the player's working directory's, not the data tree's.
mkdir -p "$E2E_WORK/elsewhere" && cd "$E2E_WORK/elsewhere" || e2e_fail "no folder elsewhere"
"$E2E_PROGRAM" --data ../data --record relative.rec </dev/null >/dev/null 2>&1
[ -f "$E2E_WORK/elsewhere/relative.rec" ] && [ ! -e "$E2E_WORK/data/relative.rec" ] ||
  e2e_fail "--record relative.rec was not made in the working directory"
echo "ok: a recorded journey replays to the same last screen; an edited tree is refused; paths are the player's"
