#!/usr/bin/env bash
# The ways into the game and out of it as a player meets them: started with
# its keyboard or its screen not a terminal, the program says so in one line
# and ends with status 1 before it touches anything; started by `make play`,
# Ctrl+C ends the game with status 0 and leaves no error from make.
# Usage: way_in_and_out.sh PROGRAM DATA_DIR
. "$(dirname "$0")/lib.sh"
e2e_setup "$1" "$2"
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
build_dir=$(realpath --relative-to="$source_dir" "$(dirname "$E2E_PROGRAM")")

# Keys from /dev/null: refused on the terminal, which is left as it was.
E2E_PRELUDE="exec </dev/null" e2e_start 80 30
e2e_wait 10 e2e_game_gone || e2e_fail "with no keyboard the program did not end"
[ "$(e2e_status)" = 1 ] || e2e_fail "with no keyboard: status $(e2e_status), expected 1"
e2e_screen_has "chessrpg: standard input is not a terminal" || e2e_fail "with no keyboard: no explanation"
e2e_check_restored
echo "ok: refused with no keyboard"

# The screen a file: nothing written to it but what the script around it writes.
E2E_PRELUDE="exec >'$E2E_WORK/screen' 2>'$E2E_WORK/errors'" e2e_start 80 30
e2e_wait 10 e2e_game_gone || e2e_fail "with a file for a screen the program did not end"
[ "$(e2e_status)" = 1 ] || e2e_fail "with a file for a screen: status $(e2e_status), expected 1"
e2e_wait 10 grep -q AFTER-GAME "$E2E_WORK/screen" || e2e_fail "the script did not go on"
[ "$(cat "$E2E_WORK/screen")" = "$(printf 'BEFORE-GAME\nAFTER-GAME')" ] ||
  e2e_fail "with a file for a screen the program wrote $(($(wc -c <"$E2E_WORK/screen") - 24)) bytes to it"
[ "$(wc -l <"$E2E_WORK/errors")" = 1 ] && grep -q 'standard output is not a terminal' "$E2E_WORK/errors" ||
  e2e_fail "with a file for a screen: not one line of explanation: $(cat "$E2E_WORK/errors")"
echo "ok: refused with a file for a screen"

# Ctrl+C under make play: the game ends, make reports nothing.
printf '#!/bin/sh\nexec make -C "%s" play BUILD="%s"\n' "$source_dir" "$build_dir" >"$E2E_WORK/make_play"
chmod +x "$E2E_WORK/make_play"
E2E_PROGRAM=$E2E_WORK/make_play e2e_start 80 30
on_screen() { [ "$(e2e_flag alternate_on)" = 1 ] && e2e_screen_has "$1"; }
e2e_wait 120 on_screen "Ctrl+C" || e2e_fail "make play did not start the game"
e2e_tmux send-keys -t game C-c
e2e_wait 20 e2e_game_gone || e2e_fail "make play: Ctrl+C did not end the game"
[ "$(e2e_status)" = 0 ] || e2e_fail "make play: status $(e2e_status) after Ctrl+C, expected 0"
e2e_wait 10 e2e_screen_has AFTER-GAME || e2e_fail "make play: the script did not go on"
e2e_screen | grep -E 'make.*(\*\*\*|Interrupt|Error)' && e2e_fail "make play: make reported an error"
e2e_check_restored scrolled
echo "ok: Ctrl+C under make play ends the game with status 0, make quiet"
