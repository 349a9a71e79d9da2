#!/usr/bin/env bash
# Measures how the real program waits, in an 80 x 30 tmux pane:
#  - CPU time over 5 s while it only waits for keys (a field with no roaming
#    enemies: every placement file of the copied data tree says 0);
#  - CPU time over 5 s during the fatal stop's thirty-second wait;
#  - the time from a key to the changed screen (an arrow key moving the hero).
# Prints the figures; it asserts nothing.
# Usage: tools/measure_idle.sh [PROGRAM] [DATA_DIR]    (defaults: build/chessrpg data)
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
program=${1:-$here/build/chessrpg}
data=${2:-$here/data}
[ -x "$program" ] || { echo "no program at $program (build it first: make build)" >&2; exit 1; }
program=$(cd "$(dirname "$program")" && pwd)/$(basename "$program")
data=$(cd "$data" && pwd)
command -v tmux >/dev/null || { echo "tmux is needed" >&2; exit 1; }
export LC_ALL=C.UTF-8 LANG=C.UTF-8
unset TMUX

work=$(mktemp -d "${TMPDIR:-/tmp}/chessrpg-measure-XXXXXX")
run=0
socket="chessrpg-measure-$$-$run"
tm() { tmux -u -L "$socket" -f /dev/null "$@"; }
trap 'tm kill-server 2>/dev/null; rm -rf "$work"' EXIT

now_ms() {
  if [ -n "${EPOCHREALTIME:-}" ]; then
    local t=${EPOCHREALTIME/[.,]/}
    echo $((t / 1000))
  else
    perl -MTime::HiRes=time -e 'printf "%d\n", time * 1000'
  fi
}

# CPU time (user + system) of a process so far, in milliseconds.
cpu_ms() {
  local pid=$1
  if [ -r "/proc/$pid/schedstat" ]; then
    # Nanoseconds on the CPU, finer than the clock ticks of /proc/PID/stat.
    awk '{ printf "%d\n", $1 / 1000000 }' "/proc/$pid/schedstat"
  elif [ -r "/proc/$pid/stat" ]; then
    local fields tick
    fields=$(sed 's/^.*) //' "/proc/$pid/stat")
    tick=$(getconf CLK_TCK)
    echo "$fields" | awk -v tick="$tick" '{ printf "%d\n", ($12 + $13) * 1000 / tick }'
  else
    ps -o time= -p "$pid" | awk -F'[:.]' '{ n = NF; printf "%d\n", (($(n-2) * 60 + $(n-1)) * 1000) + $n * 10 }'
  fi
}

make_tree() {
  rm -rf "$work/data"
  mkdir -p "$work/data"
  cp -R "$data"/. "$work/data/"
  # No roaming enemies anywhere.
  if [ -d "$work/data/map_info/map1" ]; then
    for n in 1 2 3 4 5 6 7 8 9; do printf '0\n' >"$work/data/map_info/map1/$n.txt"; done
  fi
}

start_game() {
  tm kill-server 2>/dev/null
  run=$((run + 1))
  socket="chessrpg-measure-$$-$run"   # a fresh server for each run
  tm new-session -d -s game -x 80 -y 30 "cd '$work/data' && exec '$program'"
  local deadline=$((SECONDS + 10))
  until [ "$(tm display -p -t game '#{alternate_on}')" = 1 ]; do
    [ $SECONDS -ge $deadline ] && { echo "the program did not start" >&2; exit 1; }
    sleep 0.1
  done
  pid=$(tm display -p -t game '#{pane_pid}')
}

# CPU use over five seconds, after the program has settled.
measure_cpu() {
  local label=$1 before after
  sleep 1
  before=$(cpu_ms "$pid")
  sleep 5
  after=$(cpu_ms "$pid")
  [ -n "$before" ] && [ -n "$after" ] || { echo "$label the program is gone" >&2; return; }
  awk -v label="$label" -v used=$((after - before)) \
    'BEGIN { printf "%-36s %5d ms CPU in 5 s = %.2f %% of a core\n", label, used, used / 50 }'
}

echo "program: $program"
make_tree
start_game
measure_cpu "waiting for a key (no enemies):"

# Key to screen: the time from sending an arrow key to the first bytes the
# program writes in answer, as they reach tmux (pipe-pane copies them to a
# file; capture-pane polling would be far coarser). The same is measured for
# `cat` in raw mode, which answers at once: the difference is the game's own.
latency() {
  local label=$1 log="$work/pane-$run.out"
  : >"$log"
  tm pipe-pane -t game -o "cat >>'$log'"
  sleep 0.5
  perl -MTime::HiRes=time,sleep -e '
    my ($log, $socket) = @ARGV;
    my @samples;
    for my $round (1 .. 20) {
      my $key = $round % 2 ? "Right" : "Left";
      my $size = -s $log;
      my $start = time;
      system("tmux", "-L", $socket, "send-keys", "-t", "game", $key);
      my $deadline = $start + 2;
      sleep 0.0002 while -s $log == $size && time < $deadline;
      push @samples, (time - $start) * 1000 if -s $log > $size;
      sleep 0.1;
    }
    @samples = sort { $a <=> $b } @samples;
    if (!@samples) { print "none\n"; exit }
    my $sum = 0; $sum += $_ for @samples;
    printf "%d keys: median %.1f ms, mean %.1f ms, max %.1f ms\n",
      scalar @samples, $samples[$#samples / 2], $sum / @samples, $samples[-1];
  ' "$log" "$socket" | sed "s/^/$(printf '%-37s' "$label")/"
}

if tm capture-pane -p -t game | grep -q '●'; then
  latency "key to screen, the game:"
  tm kill-server 2>/dev/null
  run=$((run + 1))
  socket="chessrpg-measure-$$-$run"
  tm new-session -d -s game -x 80 -y 30 "stty raw -echo; exec cat"
  sleep 0.5
  latency "key to screen, cat (tmux's share):"
else
  echo "key to screen:                       not measured: no hero (●) on the screen"
fi

make_tree
rm -f "$work"/data/Hero_Info/*
start_game
measure_cpu "fatal stop's thirty-second wait:"
