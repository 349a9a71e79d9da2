#!/usr/bin/env bash
# Every way the program can be ended gives the terminal back: Ctrl+C, read as
# a key, ends it with status 0; SIGINT, SIGHUP, SIGTERM, SIGQUIT, the crash
# signals and every other signal whose default is to end a program end it with
# the signal's own status; Ctrl+Z gives the terminal back while it is stopped,
# and it takes the terminal again, repainted, when it is continued.
# Usage: signals_restore.sh PROGRAM DATA_DIR
. "$(dirname "$0")/lib.sh"
e2e_setup "$1" "$2"

# The output is recorded, so that the bytes that give the terminal back are
# checked too (lib.sh).
end_with() {
  local how=$1 expected=$2
  e2e_start_recorded 80 30
  e2e_wait 20 e2e_game_running || e2e_fail "$how: the program did not start"
  case $how in
    C-c) e2e_tmux send-keys -t game C-c ;;
    *) kill -s "$how" "$(e2e_game_pid)" ;;
  esac
  e2e_wait 20 e2e_game_gone || e2e_fail "$how: the program did not end"
  [ "$(e2e_status)" = "$expected" ] || e2e_fail "$how: exit status $(e2e_status), expected $expected"
  e2e_check_restored
  echo "ok: $how"
}

end_with C-c 0
end_with INT 130
end_with HUP 129
end_with QUIT 131
end_with TERM 143
end_with SEGV 139
end_with BUS 135
end_with FPE 136
end_with ILL 132
end_with ABRT 134
end_with TRAP 133
end_with USR1 138
end_with USR2 140
end_with PIPE 141
end_with ALRM 142
end_with XCPU 152
end_with XFSZ 153
end_with VTALRM 154
end_with PROF 155
end_with SYS 159

# The terminal goes away while the hang-up signal is ignored (as under
# nohup): the program still ends instead of waiting for keys for ever.
E2E_PRELUDE="trap '' HUP" e2e_start 80 30
e2e_wait 20 e2e_game_running || e2e_fail "nohup: the program did not start"
pid=$(e2e_game_pid)
e2e_tmux kill-server
gone() { ! kill -0 "$pid" 2>/dev/null; }
e2e_wait 20 gone || { kill -KILL "$pid"; e2e_fail "the program outlived its terminal"; }
kill "$E2E_SHELL_PID" 2>/dev/null  # the pane's script outlives it too, with the hang-up ignored
echo "ok: terminal closed with the hang-up signal ignored"

# Stopped and continued, on a screen that shows something (the fatal stop).
rm -f "$E2E_WORK"/data/Hero_Info/*
e2e_start 80 30
e2e_wait 20 e2e_screen_has "ファイルが存在しないため" || e2e_fail "no fatal message"
pid=$(e2e_game_pid)
# Each condition is read anew at every poll; "stopped" is the process's own
# state, so that the continue is not sent before the stop has taken effect.
alternate_is() { [ "$(e2e_flag alternate_on)" = "$1" ]; }
stopped() { [ "$(ps -o state= -p "$pid" 2>/dev/null | cut -c1)" = T ]; }
kill -s TSTP "$pid"
e2e_wait 20 stopped || e2e_fail "stopped: the program did not stop"
e2e_wait 20 alternate_is 0 || e2e_fail "stopped: the alternate screen is still on"
[ "$(e2e_flag cursor_flag)" = 1 ] || e2e_fail "stopped: the cursor is still hidden"
settings=$(stty -a -F "$E2E_TTY" 2>/dev/null || stty -a -f "$E2E_TTY")
echo "$settings" | grep -qE '(^|[ ;])-icanon' && e2e_fail "stopped: the terminal is left in raw mode"
kill -s CONT "$pid"
e2e_wait 20 alternate_is 1 || e2e_fail "continued: no alternate screen"
e2e_wait 20 e2e_screen_has "ファイルが存在しないため" || e2e_fail "continued: the screen was not repainted"
[ "$(e2e_flag cursor_flag)" = 0 ] || e2e_fail "continued: the cursor is visible"
settings=$(stty -a -F "$E2E_TTY" 2>/dev/null || stty -a -f "$E2E_TTY")
echo "$settings" | grep -qE '(^|[ ;])-icanon' || e2e_fail "continued: the terminal is not in raw mode"
kill -s TERM "$pid"
e2e_wait 20 e2e_game_gone || e2e_fail "the program did not end after being continued"
e2e_check_restored
echo "ok: stop and continue"
