#!/usr/bin/env bash
# SIGKILL at random moments while the real program saves. The hero walks back
# and forth across the border of two screens of a small world, so that half his
# steps are a screen change and a save; a library loaded into the program makes fsync and
# rename slow, so that many kills land inside a save. After each kill the save
# left behind must load: the data checker reads it, and the next start
# continues it (a refused save would leave a copy). Prints the figures.
# Usage: save_kill_loop.sh PROGRAM DATA_DIR SLOW_SYNC_LIBRARY DATA_CHECK [KILLS]
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/small_world.sh"
e2e_setup "$1" "$2"
shim=$(cd "$(dirname "$3")" && pwd)/$(basename "$3")
checker=$4
kills=${5:-30}
[ -f "$shim" ] || e2e_fail "no slow-sync library at $3"
export XDG_STATE_HOME=$E2E_WORK/state
saves=$XDG_STATE_HOME/chessrpg
# Only the program gets the library; a sanitized build accepts it after its runtime.
E2E_PRELUDE="export LD_PRELOAD='$shim' ASAN_OPTIONS=verify_asan_link_order=0"

e2e_write_hero '40 10 8 5 5 6 30 0 1 0 0 0 0 1 3 1 3 1 3 57 10'
e2e_write_world
e2e_open_way_to_screen2
save_file() { e2e_save_file; }

inside=0 changed=0 last=""
for i in $(seq 1 "$kills"); do
  E2E_ARGS=--continue e2e_start 80 30
  e2e_wait 10 e2e_field_shown || e2e_fail "start $i: no field"
  # The hero stands at the border, on screen 1 (column 57) or on screen 2
  # (column 0); from either, Right Left Left Right crosses it twice.
  e2e_tmux send-keys -t game $(for _ in $(seq 1 10); do printf 'Right Left Left Right '; done)
  sleep "$((RANDOM % 3)).$((RANDOM % 10))"
  kill -KILL "$(e2e_game_pid)" 2>/dev/null || e2e_fail "kill $i: the program had ended"
  e2e_wait 10 e2e_game_gone || e2e_fail "kill $i: the program did not die"
  ls "$saves"/*.tmp-* >/dev/null 2>&1 && inside=$((inside + 1))
  save=$(save_file)
  if [ -z "$save" ]; then
    # Killed before the first screen change was saved: nothing to check yet.
    [ -z "$last" ] || e2e_fail "kill $i: the save is gone"
    continue
  fi
  # The small world has problems of its own (screens not reached); the save has none.
  "$checker" --save "$save" >"$E2E_WORK/check"
  grep -F "$save" "$E2E_WORK/check" && e2e_fail "kill $i: the save does not load"
  ls "$saves"/*.bad-* >/dev/null 2>&1 && e2e_fail "kill $((i - 1)): the game refused the save it continued"
  [ "$(cat "$save")" != "$last" ] && changed=$((changed + 1))
  last=$(cat "$save")
done
echo "ok: $kills kills with SIGKILL, $inside inside a save (its new file left behind), the save changed" \
  "between $changed of them; every save left loaded"
