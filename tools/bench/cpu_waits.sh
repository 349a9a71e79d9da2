#!/usr/bin/env bash
# CPU the real program uses while it waits, in an 80 x 30 tmux pane of its own
# server, in five waits:
#  - for a key on the field, with no roaming enemies anywhere;
#  - for a key on the field, with a figure standing on the hero's own cell
#    (its step has nothing to do);
#  - at the battle's command menu (a Pawn beside the hero opens a battle at once);
#  - at the confirm wait after the Pawn's attack message (the hero defends);
#  - during the fatal stop's thirty seconds (the hero file is missing).
# Each wait is measured once it shows on the screen and has settled: CPU time
# (user + system) over 5 s as a share of one core, and wake-ups a second (the
# times the program went to sleep and was woken: voluntary context switches),
# with chessrpg and with chessrpg_spin, whose waits poll without pause. The screen is read before and
# after the 5 s; a figure counts only when it showed the wait both times,
# unchanged, and the program was still running.
# Prints two tab-separated lines per wait, starting with "row", for
# tools/bench/run.sh; every other line is detail. It asserts nothing.
# Usage: tools/bench/cpu_waits.sh BUILD_DIR DATA_DIR
# (CPU_WAITS="field onhero ..." measures only the waits named.)
set -u
[ $# -eq 2 ] || { echo "usage: $0 BUILD_DIR DATA_DIR" >&2; exit 2; }
here=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "$1" && pwd) || exit 2
data=$(cd "$2" && pwd) || exit 2
export LC_ALL=C.UTF-8 LANG=C.UTF-8
unset TMUX

settle_seconds=1
window_seconds=5
goal_percent=1
goal_wakeups=1

work=$(mktemp -d "${TMPDIR:-/tmp}/chessrpg-cpu-waits-XXXXXX")
export XDG_STATE_HOME=$work/state  # no journey of the player's to ask about
socket=
pid=
run=0
tm() { tmux -u -L "$socket" -f /dev/null "$@"; }

alive() { [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; }

# Ends the pane's server, and the program with it (it ends on the hang-up).
stop_game() {
  [ -n "$socket" ] && tm kill-server 2>/dev/null
  local deadline=$((SECONDS + 3))
  while alive && [ $SECONDS -lt $deadline ]; do sleep 0.1; done
  alive && kill -KILL "$pid" 2>/dev/null
  pid=
  return 0
}
trap 'stop_game; rm -rf "$work"' EXIT
trap 'exit 130' INT TERM HUP

# CPU time of a process so far, in nanoseconds; nothing once it is gone. The
# program has one thread, whose schedstat counts nanoseconds on the CPU; ps
# (macOS) counts hundredths of a second.
cpu_ns() {
  if [ -r "/proc/$1/schedstat" ]; then
    awk '{ print $1 }' "/proc/$1/schedstat" 2>/dev/null
  else
    ps -o time= -p "$1" 2>/dev/null | awk '
      NF { t = $1; days = 0
           if (index(t, "-")) { split(t, d, "-"); days = d[1]; t = d[2] }
           n = split(t, part, ":"); s = 0
           for (i = 1; i <= n; i++) s = s * 60 + part[i]
           printf "%.0f\n", (days * 86400 + s) * 1e9 }'
  fi
}

# Times the process has gone to sleep of its own accord so far (Linux only).
wakeups() { awk '/^voluntary_ctxt_switches/ { print $2 }' "/proc/$1/status" 2>/dev/null; }

now_us() {
  if [ -n "${EPOCHREALTIME:-}" ]; then
    echo "${EPOCHREALTIME/[.,]/}"
  else
    perl -MTime::HiRes=time -e 'printf "%.0f\n", time * 1e6'
  fi
}

# --- the data trees, one per kind of wait, written from the given one ---

copy_tree() {
  mkdir -p "$work/$1/data"
  cp -R "$data"/. "$work/$1/data/"
}

# The shipped world with every placement file saying 0: nothing roams.
copy_tree field
for n in 1 2 3 4 5 6 7 8 9; do
  [ -d "$work/field/data/map_info/map1" ] && printf '0\n' >"$work/field/data/map_info/map1/$n.txt"
done

# The battle checks' small world, with one Pawn two columns to the right of
# the hero: its first step reaches him.
copy_tree battle
E2E_WORK=$work/battle  # where small_world.sh writes
e2e_fail() { echo "cannot write the small world: $*"; }
. "$here/tests/e2e/small_world.sh"
e2e_write_hero '40 10 8 5 5 6 30 0 1 0 0 0 0 1 3 1 3 1 3 20 10'
e2e_write_world '1 1 22 10'
pawn=$(e2e_enemy_glyph Pawn_Status_Info.txt)

# The same small world with the Pawn on the hero's own cell.
copy_tree onhero
E2E_WORK=$work/onhero
e2e_write_hero '40 10 8 5 5 6 30 0 1 0 0 0 0 1 3 1 3 1 3 20 10'
e2e_write_world '1 1 20 10'

# No hero file: the fatal stop.
copy_tree fatal
rm -f "$work"/fatal/data/Hero_Info/*

# --- what each wait looks like on the screen ---

# Each is_WAIT SCREEN says whether the captured screen shows the wait, and
# each seen_WAIT SCREEN sums up what it shows, on one line.

is_field() { [[ $1 == *●* && $1 != *'Enemy View'* ]]; }
# The hero is drawn over the Pawn on his cell: the field as it shows.
is_onhero() { is_field "$1"; }
seen_onhero() { seen_field "$1"; }
seen_field() {
  local row
  row=$(grep -n '●' <<<"$1" | head -n 1 | sed 's/ *$//')
  [[ $1 == *'Enemy View'* ]] && echo "a battle screen" && return
  echo "the hero on the field, row ${row%%:*}: \"${row#*:}\""
}

# The message window's lines (screen rows 14 to 18, between its last two
# borders), newest first, joined with " / ".
messages() {
  sed -n '14,18p' <<<"$1" | awk -F '|' '
    NF >= 3 { text = $(NF - 1); gsub(/^ +| +$/, "", text); if (text != "") print text }' |
    paste -sd '/' - | sed 's|/| / |g'
}

is_menu() {
  local command
  for command in 'Enemy View' たたかう ぼうぎょ アイテム にげる; do [[ $1 == *"$command"* ]] || return 1; done
  grep -F 'Enemy View' -A 6 <<<"$1" | grep -qF -- "$pawn" && [ -z "$(messages "$1")" ]
}
seen_menu() {
  local shown='' command
  for command in たたかう ぼうぎょ アイテム にげる; do [[ $1 == *"$command"* ]] && shown="$shown $command"; done
  local view=no
  grep -F 'Enemy View' -A 6 <<<"$1" | grep -qF -- "$pawn" && view=yes
  echo "commands:$shown; Pawn $pawn in the enemy view: $view; messages: \"$(messages "$1")\""
}

is_confirm() {
  [[ $1 == *'Enemy View'* ]] && [[ $(messages "$1") == *の攻撃!!* ]] &&
    [[ $(messages "$1") == *ダメージ!!* || $(messages "$1") == *回避しました。* ]]
}
seen_confirm() { echo "messages: \"$(messages "$1")\""; }

fatal_first='ファイルが存在しないため情報の初期化に失敗しました。'
fatal_last=' 30 秒後に強制終了しますので手動で閉じないでください。'
is_fatal() { [[ $1 == *"$fatal_first"* && $1 == *"$fatal_last"* ]]; }
seen_fatal() { echo "rows 1 and 4: \"$(sed -n 1p <<<"$1" | sed 's/ *$//')\" \"$(sed -n 4p <<<"$1" | sed 's/ *$//')\""; }

# --- driving the program ---

screen() { tm capture-pane -p -t game 2>/dev/null; }

# wait_for SECONDS WAIT: polls the screen until it shows the wait.
wait_for() {
  local deadline=$((SECONDS + $1))
  until "is_$2" "$(screen)"; do
    [ $SECONDS -ge $deadline ] && return 1
    alive || return 1
    sleep 0.1
  done
}

# start PROGRAM TREE: the program in its own server's 80 x 30 pane, in the tree.
start() {
  stop_game
  run=$((run + 1))
  socket="chessrpg-cpu-waits-$$-$run"
  rm -rf "$XDG_STATE_HOME"  # each run a new journey: no question about the last one's
  tm new-session -d -s game -x 80 -y 30 "cd '$work/$2/data' && exec '$1'" || return 1
  pid=$(tm display -p -t game '#{pane_pid}')
  local deadline=$((SECONDS + 10))
  until [ "$(tm display -p -t game '#{alternate_on}' 2>/dev/null)" = 1 ]; do
    [ $SECONDS -ge $deadline ] && return 1
    sleep 0.1
  done
}

# reach WAIT PROGRAM: starts the program and brings it to the wait.
reach() {
  case $1 in
  field) start "$2" field && wait_for 15 field ;;
  onhero) start "$2" onhero && wait_for 15 onhero ;;
  menu) start "$2" battle && wait_for 20 menu ;;
  confirm)
    # Defend, the second command: the Pawn attacks, and its message waits.
    start "$2" battle && wait_for 20 menu && tm send-keys -t game Down Enter && wait_for 20 confirm
    ;;
  fatal) start "$2" fatal && wait_for 10 fatal ;;
  esac
}

# measure WAIT PROGRAM: sets percent to the share of a core the program used
# over the window at that wait and rate to its wake-ups a second, or both to
# nothing when they were not measured.
measure() {
  local wait=$1 program=$2 name
  name=$(basename "$2")
  percent=
  rate=
  if [ ! -x "$program" ]; then
    echo "$wait, $name: not built"
    return
  fi
  if ! reach "$wait" "$program"; then
    echo "$wait, $name: the wait was not reached; the screen:"
    screen | sed 's/ *$//; /^$/d; s/^/    /'
    stop_game
    return
  fi
  sleep "$settle_seconds"
  local before after cpu0 cpu1 t0 t1 woke0 woke1
  before=$(screen)
  cpu0=$(cpu_ns "$pid")
  woke0=$(wakeups "$pid")
  t0=$(now_us)
  sleep "$window_seconds"
  cpu1=$(cpu_ns "$pid")
  woke1=$(wakeups "$pid")
  t1=$(now_us)
  after=$(screen)
  echo "$wait, $name: before: $("seen_$wait" "$before")"
  echo "$wait, $name: after:  $("seen_$wait" "$after")"
  if [ -z "$cpu0" ] || [ -z "$cpu1" ] || ! alive; then
    echo "$wait, $name: not measured: the program ended"
  elif ! "is_$wait" "$before" || ! "is_$wait" "$after"; then
    echo "$wait, $name: not measured: the screen did not show the wait"
  elif [ "$before" != "$after" ]; then
    echo "$wait, $name: not measured: the screen changed during the measurement"
  else
    percent=$(awk -v ns=$((cpu1 - cpu0)) -v us=$((t1 - t0)) 'BEGIN { printf "%.4f", ns / 1000 / us * 100 }')
    awk -v ns=$((cpu1 - cpu0)) -v us=$((t1 - t0)) -v p="$percent" -v w="$wait, $name" \
      'BEGIN { printf "%s: %.1f ms CPU in %.3f s = %.2f %% of a core\n", w, ns / 1e6, us / 1e6, p }'
    if [ -n "$woke0" ] && [ -n "$woke1" ]; then
      rate=$(awk -v n=$((woke1 - woke0)) -v us=$((t1 - t0)) 'BEGIN { printf "%.2f", n / (us / 1e6) }')
      echo "$wait, $name: $((woke1 - woke0)) wake-ups in the window = $rate a second"
    fi
  fi
  stop_game
}

# wakeup_row LABEL OURS REFERENCE: wake-ups a second beside the spinning build's.
wakeup_row() {
  awk -v label="$1" -v ours="$2" -v ref="$3" -v goal="$goal_wakeups" 'BEGIN {
    shown = ours == "" ? "-" : sprintf("%.2f /s", ours)
    refShown = ref == "" ? "-" : sprintf("%.2f /s", ref)
    met = ours != "" && ours <= goal ? "yes" : "no"
    printf "row\t%s\t%s\t%s\t-\t≤ %s /s\t%s\n", label, shown, refShown, goal, met
  }'
}

row() {
  local label=$1 ours=$2 reference=$3
  awk -v label="$label" -v ours="$ours" -v ref="$reference" -v goal="$goal_percent" 'BEGIN {
    shown = ours == "" ? "-" : sprintf("%.2f %%", ours)
    refShown = ref == "" ? "-" : sprintf("%.2f %%", ref)
    ratio = "-"
    if (ours != "" && ref != "" && ours > 0) {
      r = ref / ours
      ratio = r >= 10 ? sprintf("%.0f×", r) : sprintf("%.1f×", r)
    }
    met = ours != "" && ours <= goal ? "yes" : "no"
    printf "row\t%s\t%s\t%s\t%s\t≤ %s %%\t%s\n", label, shown, refShown, ratio, goal, met
  }'
}

echo "programs: $build/chessrpg, $build/chessrpg_spin (waits that poll without pause)"
echo "each figure: CPU time over ${window_seconds} s, ${settle_seconds} s after the wait showed, as a share of one core"
if ! command -v tmux >/dev/null; then
  echo "tmux is not installed: nothing measured"
fi

for wait in ${CPU_WAITS:-field onhero menu confirm fatal}; do
  ours=
  reference=
  ours_rate=
  reference_rate=
  if command -v tmux >/dev/null; then
    measure "$wait" "$build/chessrpg"
    ours=$percent
    ours_rate=$rate
    measure "$wait" "$build/chessrpg_spin"
    reference=$percent
    reference_rate=$rate
  fi
  case $wait in
  field) label="waiting for a key on the field" ;;
  onhero) label="field, a figure on the hero's cell" ;;
  menu) label="battle command menu" ;;
  confirm) label="confirm wait after a battle message" ;;
  fatal) label="fatal stop's 30-second wait" ;;
  esac
  row "$label" "$ours" "$reference"
  wakeup_row "  wake-ups a second" "$ours_rate" "$reference_rate"
done
