# Helpers for the end-to-end checks: the real program in a tmux pane of its own
# server (one socket per check, so checks run side by side), read back with
# capture-pane, waited for by polling with a deadline rather than by sleeping.
# Usage: source it, then call e2e_setup PROGRAM DATA_DIR.

set -u
export LC_ALL=C.UTF-8 LANG=C.UTF-8
unset TMUX

e2e_fail() {
  echo "FAIL: $*" >&2
  if [ -n "${E2E_SOCKET:-}" ]; then
    echo "--- pane ---" >&2
    e2e_tmux capture-pane -p -t game >&2 2>/dev/null || true
  fi
  exit 1
}

e2e_tmux() { tmux -u -L "$E2E_SOCKET" -f /dev/null "$@"; }

e2e_cleanup() {
  [ -n "${E2E_SOCKET:-}" ] && e2e_tmux kill-server 2>/dev/null
  [ -n "${E2E_WORK:-}" ] && rm -rf "$E2E_WORK"
  return 0
}

# e2e_setup PROGRAM DATA_DIR: a scratch folder with a copy of the data tree,
# and a state folder of its own there: a check never meets the player's saves
# (every copy of the shipped world shares its journey) nor another check's.
e2e_setup() {
  [ -x "$1" ] || e2e_fail "no program at $1"
  [ -d "$2" ] || e2e_fail "no data tree at $2"
  E2E_PROGRAM=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
  E2E_DATA=$(cd "$2" && pwd)
  command -v tmux >/dev/null || e2e_fail "tmux is not installed"
  E2E_WORK=$(mktemp -d "${TMPDIR:-/tmp}/chessrpg-e2e-XXXXXX")
  E2E_SOCKET="chessrpg-e2e-$$-$RANDOM"
  trap e2e_cleanup EXIT
  mkdir -p "$E2E_WORK/data"
  cp -R "$E2E_DATA"/. "$E2E_WORK/data/"
  export XDG_STATE_HOME=$E2E_WORK/state
}

# e2e_start [COLUMNS ROWS]: runs the program (with the options in E2E_ARGS) in
# the data folder, inside a plain shell script that notes the exit status and
# keeps the pane open, so that the terminal can be inspected after the program
# has gone. The script
# catches INT with a trap (not ignores it), so the program gets the default.
e2e_start() {
  local columns=${1:-80} rows=${2:-30}
  e2e_tmux kill-server 2>/dev/null
  rm -f "$E2E_WORK/status" "$E2E_WORK/output"
  cat >"$E2E_WORK/run.sh" <<SCRIPT
#!/bin/sh
trap 'true' INT
ulimit -c 0
${E2E_PRELUDE:-}
cd "$E2E_WORK/data"
printf 'BEFORE-GAME\n'
"$E2E_PROGRAM" ${E2E_ARGS:-}
printf 'status=%s\n' "\$?" >"$E2E_WORK/status"
printf 'AFTER-GAME\n'
exec sleep 600
SCRIPT
  chmod +x "$E2E_WORK/run.sh"
  # The server just killed may still be going away: a new one is tried again.
  local tries=0
  until e2e_tmux new-session -d -s game -x "$columns" -y "$rows" "$E2E_WORK/run.sh" 2>/dev/null; do
    tries=$((tries + 1))
    [ $tries -lt 20 ] || e2e_fail "tmux did not start"
    sleep 0.1
  done
  E2E_TTY=$(e2e_tmux display -p -t game '#{pane_tty}')
  E2E_SHELL_PID=$(e2e_tmux display -p -t game '#{pane_pid}')
}

# e2e_start_recorded [COLUMNS ROWS]: e2e_start with everything the program
# writes also kept in a file; the program is held back until the recording
# runs, so that nothing it writes is missed.
e2e_start_recorded() {
  rm -f "$E2E_WORK/recording"
  E2E_PRELUDE="while [ ! -f '$E2E_WORK/recording' ]; do sleep 0.05; done"
  e2e_start "$@"
  E2E_PRELUDE=
  rm -f "$E2E_WORK/output"
  e2e_tmux pipe-pane -o -t game "cat >>'$E2E_WORK/output'" || e2e_fail "cannot record the pane"
  touch "$E2E_WORK/recording"
}

# e2e_output_has TEXT: the recorded output, without its control sequences,
# holds TEXT. For texts that stay on the screen too briefly to be caught by
# polling capture-pane: the cells are written in order, each text's characters
# one after another.
e2e_output_has() {
  sed 's/\x1b\[[0-9;?]*[A-Za-z]//g' "$E2E_WORK/output" 2>/dev/null | tr -d '\r\n' | grep -qF -- "$1"
}

e2e_screen() { e2e_tmux capture-pane -p -t game; }
e2e_flag() { e2e_tmux display -p -t game "#{$1}"; }

# e2e_wait SECONDS COMMAND...: polls the command until it succeeds.
e2e_wait() {
  local seconds=$1
  shift
  local deadline=$((SECONDS + seconds))
  while ! "$@"; do
    [ $SECONDS -ge $deadline ] && return 1
    sleep 0.1
  done
  return 0
}

e2e_screen_has() { e2e_screen | grep -qF -- "$1"; }
e2e_screen_lacks() { ! e2e_screen | grep -qF -- "$1"; }

# The program's pid: the child of the pane's script.
e2e_game_pid() { pgrep -P "$E2E_SHELL_PID" 2>/dev/null | head -n 1; }
e2e_game_running() { [ -n "$(e2e_game_pid)" ] && [ "$(e2e_flag alternate_on)" = 1 ]; }
e2e_game_gone() { [ -f "$E2E_WORK/status" ]; }

# The terminal as the program must leave it: line mode with echo, the main
# screen back with what was there before, a visible cursor, autowrap, and
# normal colours for what is written next. With "scrolled", the screen from
# before the game is not looked for (a build's output may have pushed it off).
e2e_check_restored() {
  local settings
  settings=$(stty -a -F "$E2E_TTY" 2>/dev/null || stty -a -f "$E2E_TTY") || e2e_fail "cannot read the terminal settings"
  echo "$settings" | grep -qE '(^|[ ;])icanon' || e2e_fail "the terminal is not back in line mode"
  echo "$settings" | grep -qE '(^|[ ;])-icanon' && e2e_fail "the terminal is left in raw mode"
  echo "$settings" | grep -qE '(^|[ ;])echo([ ;]|$)' || e2e_fail "echo is not back on"
  echo "$settings" | grep -qE '(^|[ ;])icrnl' || e2e_fail "CR to NL is not back on"
  echo "$settings" | grep -qE '(^|[ ;])opost' || e2e_fail "output processing is not back on"
  [ "$(e2e_flag alternate_on)" = 0 ] || e2e_fail "the alternate screen is still on"
  [ "$(e2e_flag cursor_flag)" = 1 ] || e2e_fail "the cursor is still hidden"
  [ "$(e2e_flag wrap_flag)" = 1 ] || e2e_fail "autowrap is still off"
  # (Unless the check says the screen from before was scrolled away.)
  [ "${1:-}" = scrolled ] || e2e_screen_has BEFORE-GAME || e2e_fail "the screen from before the game is not back"
  e2e_wait 10 e2e_screen_has AFTER-GAME || e2e_fail "nothing written after the game"
  e2e_tmux capture-pane -p -e -t game | grep -F AFTER-GAME | grep -q $'\x1b\[' &&
    e2e_fail "text after the game is not in normal colours"
  # Where the output was recorded: what gives the terminal back (from its
  # cancel byte on) ends a synchronized update, which a frame cut short by a
  # signal may have left open and the terminal would then stop drawing.
  if [ -s "$E2E_WORK/output" ]; then
    LC_ALL=C awk 'BEGIN { RS = "\030" } END { exit index($0, "\033[?2026l") ? 0 : 1 }' "$E2E_WORK/output" ||
      e2e_fail "giving the terminal back does not end a synchronized update"
  fi
  return 0
}

e2e_status() { sed -n 's/^status=//p' "$E2E_WORK/status"; }
