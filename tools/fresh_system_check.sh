#!/usr/bin/env bash
# The README's two commands on a fresh minimal Debian 12. Builds the system
# with debootstrap, clones this repository into it (the commit checked out
# here), then, in a tmux pane on this machine, runs `./build.sh play` until the
# field shows and Ctrl+C ends the game, and `./build.sh test` until it has run
# every test. Prints what the first command printed and how long each took.
#
# Before that a user without root or sudo runs the first command, which must
# only print the apt-get command and stop. The two commands then run as a user
# who may use sudo (and types his password when asked), or as root.
#
# Usage: tools/fresh_system_check.sh [--as sudo-user|root] [--keep]
#   --keep leaves the tree (unmounted) for a look; its path is printed.
# Runs as root on Debian or Ubuntu, with Debian's mirror reachable. Exits 0
# when both commands worked, 1 when one failed, 77 when no fresh system could
# be built here (debootstrap or the mounts failed).
# Environment: FRESH_MIRROR (default http://deb.debian.org/debian), FRESH_DIR
# (where the tree goes, default /var/tmp), FRESH_TEST_MINUTES (how long the
# second command may take, default 45).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
as=sudo-user
keep=0
while [ $# -gt 0 ]; do
  case "$1" in
    --as) as=${2:-}; shift 2 ;;
    --keep) keep=1; shift ;;
    *) echo "usage: $0 [--as sudo-user|root] [--keep]" >&2; exit 2 ;;
  esac
done
case "$as" in
  sudo-user) user=player home=/home/player ;;
  root) user=root home=/root ;;
  *) echo "--as takes sudo-user or root" >&2; exit 2 ;;
esac
[ "$(id -u)" = 0 ] || { echo "Run it as root: it builds a system with debootstrap and enters it with chroot." >&2; exit 2; }
mirror=${FRESH_MIRROR:-http://deb.debian.org/debian}
test_minutes=${FRESH_TEST_MINUTES:-45}
password=fresh-check
commit=$(git -C "$here" rev-parse HEAD)

# What this check needs on the machine that runs it.
need=
command -v debootstrap >/dev/null || need="$need debootstrap"
command -v tmux >/dev/null || need="$need tmux"
command -v git >/dev/null || need="$need git"
if [ -n "$need" ]; then
  echo "Installing on this machine:$need"
  apt-get -o DPkg::Lock::Timeout=600 update -qq
  # shellcheck disable=SC2086
  apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends $need >/dev/null
fi

check_start=$SECONDS
tree=$(mktemp -d "${FRESH_DIR:-/var/tmp}/chessrpg-fresh.XXXXXX")
chmod 755 "$tree"
log=$tree.log
socket=chessrpg-fresh-$$
tm() { tmux -u -L "$socket" -f /dev/null "$@"; }
in_tree() { chroot "$tree" "$@"; }

mounted() { grep -qF " $tree/" /proc/mounts; }
unmount_all() {
  local point
  for point in dev/pts dev proc; do
    if grep -qF " $tree/$point " /proc/mounts; then
      umount "$tree/$point" 2>/dev/null || umount -l "$tree/$point"
    fi
  done
}
# Ends what this check started inside the tree (the tmux panes, a game, a
# test run), then unmounts and deletes the tree. A tree still mounted is never
# deleted: removing it would reach into /dev and /proc.
cleanup() {
  local status=$? proc pid root
  trap - EXIT
  tm kill-server 2>/dev/null || true
  for proc in /proc/[0-9]*; do
    root=$(readlink "$proc/root" 2>/dev/null) || continue
    pid=${proc#/proc/}
    case "$root" in "$tree" | "$tree"/*) kill -KILL "$pid" 2>/dev/null || true ;; esac
  done
  sleep 0.5
  unmount_all
  if mounted; then
    echo "The tree is still mounted; left at $tree" >&2
  elif [ "$keep" = 1 ]; then
    echo "Tree kept at $tree (log: $log)"
  else
    rm -rf --one-file-system "$tree"
    [ "$status" = 0 ] && rm -f "$log"
  fi
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

fail() { echo "FAIL: $*" >&2; exit 1; }
skip() { echo "SKIPPED: $* (see $log)" >&2; tail -n 5 "$log" >&2; exit 77; }
seconds_since() { echo $((SECONDS - $1)); }

# --- the fresh system ---------------------------------------------------------
echo "Building a minimal Debian 12 in $tree..."
start=$SECONDS
debootstrap --variant=minbase bookworm "$tree" "$mirror" >"$log" 2>&1 ||
  skip "debootstrap could not build a fresh system"
debootstrap_seconds=$(seconds_since "$start")
{ mount -t proc proc "$tree/proc" && mount --bind /dev "$tree/dev" &&
  mount --bind /dev/pts "$tree/dev/pts"; } >>"$log" 2>&1 || skip "cannot mount /proc and /dev into the tree"

# clone_for USER HOME: the repository, as `git clone` would give it to the user.
clone_for() {
  git clone -q --no-hardlinks --no-checkout "$here" "$tree$2/chessrpg"
  git -C "$tree$2/chessrpg" checkout -q "$commit"
  in_tree chown -R "$1:" "$2/chessrpg"
}

# A user without root or sudo: the first command names the apt-get command
# and stops, and installs and builds nothing.
in_tree useradd -m -s /bin/bash guest
clone_for guest /home/guest
set +e
refusal=$(in_tree su - guest -c 'cd chessrpg && ./build.sh play' 2>&1)
refusal_status=$?
set -e
echo "Without root or sudo, the first command printed (status $refusal_status):"
echo "$refusal" | sed 's/^/  | /'
[ "$refusal_status" = 1 ] || fail "the first command without root or sudo ended with status $refusal_status, not 1"
{ echo "$refusal" | grep -q '^  apt-get .* install ' && echo "$refusal" | grep -q 'g++ cmake make'; } ||
  fail "it did not name the apt-get command"
[ -e "$tree/usr/bin/g++" ] && fail "it installed g++"
[ -e "$tree/home/guest/chessrpg/build" ] && fail "it started a build"

setup_seconds=0
if [ "$as" = sudo-user ]; then
  # The user's own set-up of the machine: sudo, and an account that may use it.
  start=$SECONDS
  in_tree apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends sudo >>"$log" 2>&1 ||
    fail "could not install sudo in the tree"
  in_tree useradd -m -s /bin/bash -G sudo "$user"
  echo "127.0.1.1 $(hostname)" >>"$tree/etc/hosts"
  echo "$user:$password" | in_tree chpasswd
  setup_seconds=$(seconds_since "$start")
fi
clone_for "$user" "$home"

# run_in_pane NAME COMMAND: logs the user in with su on a tmux pane of 80 x 30
# on this machine and has him type /tmp/NAME.sh, which runs COMMAND in the
# clone and notes its exit status in /tmp/NAME.status. The script lets Ctrl+C
# end only the command, as a shell running it at its prompt would.
run_in_pane() {
  cat >"$tree/tmp/$1.sh" <<SCRIPT
#!/bin/bash
trap true INT
cd ~/chessrpg || exit 1
$2
echo "\$?" >/tmp/$1.status
echo "fresh-check: the command has ended"
SCRIPT
  chmod 755 "$tree/tmp/$1.sh"
  rm -f "$tree/tmp/$1.status"
  answered_prompts=0
  # A session of its own, so that the server lives on from one pane to the next.
  local before=${pane:-}
  pane=$1
  tm new-session -d -s "$pane" -x 80 -y 30 "chroot '$tree' su - $user" || fail "tmux did not start"
  [ -n "$before" ] && tm kill-session -t "$before"
  wait_until 30 prompt_shows || { screen >&2; fail "no shell prompt for $user"; }
  tm send-keys -t "$pane" "/tmp/$1.sh" Enter
}
prompt_shows() { screen | grep -qE '[$#] *$'; }
screen() { tm capture-pane -p -t "$pane" 2>/dev/null; }
# Types the password when sudo asks for it (sudo asks again on each new terminal).
answer_sudo() {
  local prompts
  prompts=$(screen | grep -c "password for $user") || true
  if [ "$prompts" -gt "$answered_prompts" ]; then
    tm send-keys -t "$pane" "$password" Enter
    answered_prompts=$prompts
  fi
}
# wait_until SECONDS TEST...: polls the test, answering sudo, until it holds.
wait_until() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    answer_sudo
    [ $SECONDS -ge "$deadline" ] && return 1
    sleep 0.2
  done
}
field_shows() { [ "$(tm display -p -t "$pane" '#{alternate_on}')" = 1 ] && screen | grep -qF '●'; }
ended() { [ -f "$tree/tmp/$1.status" ]; }

# --- the first command: build the game and play --------------------------------
echo "First command, as $user: ./build.sh play"
start=$SECONDS
run_in_pane play ./build.sh\ play
wait_until 1200 field_shows || { screen >&2; fail "the field did not show within 20 minutes"; }
play_seconds=$(seconds_since "$start")
echo "The field after $play_seconds s:"
screen | head -n 22 | sed 's/^/  | /'
tm send-keys -t "$pane" C-c
wait_until 30 ended play || { screen >&2; fail "Ctrl+C did not end the game"; }
play_status=$(cat "$tree/tmp/play.status")
echo "What the first command left on the terminal (the game ended with status $play_status):"
printed=$(screen | sed -e '0,/\/tmp\/play\.sh/d' -e '/^fresh-check: /,$d')
echo "$printed" | sed 's/^/  | /'
[ "$(echo "$printed" | wc -l)" -le 12 ] || fail "the first command printed more than 12 lines"
if [ "$as" = sudo-user ]; then
  echo "$printed" | grep -q '^  sudo apt-get .* install ' || fail "the apt-get command was not shown before it ran"
fi
[ "$play_status" = 0 ] || fail "Ctrl+C ended the game with status $play_status, not 0"
[ -e "$tree/usr/include/gtest/gtest.h" ] && fail "the first command installed GoogleTest"
[ -e "$tree$home/chessrpg/build/chessrpg_tests" ] && fail "the first command built the tests"
[ -x "$tree$home/chessrpg/build/chessrpg" ] || fail "no game was built"

# --- the second command: build and run every test ------------------------------
echo "Second command, as $user: ./build.sh test"
start=$SECONDS
run_in_pane test 'set -o pipefail; ./build.sh test 2>&1 | tee /tmp/test.out'
wait_until $((test_minutes * 60)) ended test || { screen >&2; fail "the tests did not end within $test_minutes minutes"; }
test_seconds=$(seconds_since "$start")
test_status=$(cat "$tree/tmp/test.status")
if [ "$test_status" != 0 ]; then
  tail -n 60 "$tree/tmp/test.out" >&2
  fail "the second command ended with status $test_status"
fi
grep -E 'tests passed' "$tree/tmp/test.out" | sed 's/^/  | /'

echo "Fresh Debian 12 ($as), commit ${commit:0:12}:"
printf '  %-44s %5d s\n' "debootstrap" "$debootstrap_seconds" \
  "the user's sudo set-up" "$setup_seconds" \
  "./build.sh play to the field" "$play_seconds" \
  "./build.sh test to green" "$test_seconds" \
  "the whole check" "$(seconds_since "$check_start")"
