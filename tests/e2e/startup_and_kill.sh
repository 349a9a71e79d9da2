#!/usr/bin/env bash
# The real program starts in an 80 x 30 tmux pane on the shipped data tree:
# raw mode, the alternate screen, a hidden cursor. Killed, it leaves the
# terminal as it found it.
# Usage: startup_and_kill.sh PROGRAM DATA_DIR
. "$(dirname "$0")/lib.sh"
e2e_setup "$1" "$2"
e2e_start 80 30

e2e_wait 10 e2e_game_running || e2e_fail "the program did not start"
e2e_wait 10 e2e_screen_lacks BEFORE-GAME || e2e_fail "the game is not on a screen of its own"
[ "$(e2e_flag cursor_flag)" = 0 ] || e2e_fail "the cursor is visible during play"
settings=$(stty -a -F "$E2E_TTY" 2>/dev/null || stty -a -f "$E2E_TTY")
echo "$settings" | grep -qE '(^|[ ;])-icanon' || e2e_fail "the terminal is not in raw mode"
echo "$settings" | grep -qE '(^|[ ;])-echo([ ;]|$)' || e2e_fail "keys are echoed"

# Keys are read without echo and do not stop the game.
e2e_tmux send-keys -t game Up Down Left Right Enter Space xyzzy
sleep 0.5
e2e_game_running || e2e_fail "the program stopped after a few keys"
e2e_screen_lacks xyzzy || e2e_fail "typed keys are echoed"

kill -TERM "$(e2e_game_pid)"
e2e_wait 10 e2e_game_gone || e2e_fail "the program did not end on SIGTERM"
[ "$(e2e_status)" = 143 ] || e2e_fail "exit status $(e2e_status), expected 143 (ended by SIGTERM)"
e2e_check_restored
echo "ok: started at 80 x 30 and left the terminal clean"
