#!/usr/bin/env bash
# Runs every benchmark against the programs of an optimised build and prints
# one table: each figure beside its reference and its goal. The benchmarks
# print their rows as tab-separated lines starting with "row"; everything else
# they print is detail, kept in BUILD/bench.log.
# Usage: tools/bench/run.sh BUILD_DIR
set -u
here=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$here/build-bench}" && pwd)
log="$build/bench.log"
# A state folder of the benchmarks' own: the player's journey never meets them
# (every copy of the shipped world shares it), nor they it.
XDG_STATE_HOME=$(mktemp -d "${TMPDIR:-/tmp}/chessrpg-bench-state-XXXXXX")
export XDG_STATE_HOME
trap 'rm -rf "$XDG_STATE_HOME"' EXIT
rows="$build/bench.rows"
: >"$log"
: >"$rows"

run_part() {
  local title=$1
  shift
  echo "== $title" >>"$log"
  printf 'part\t%s\n' "$title" >>"$rows"
  "$@" 2>>"$log" | tee -a "$log" | grep '^row	' >>"$rows"
}

# Each part is run only when its programs were built.
[ -x "$build/present_bytes" ] &&
  run_part "Bytes to the terminal" "$build/present_bytes" "$here/data"
[ -x "$here/tools/bench/cpu_waits.sh" ] && [ -x "$build/chessrpg" ] &&
  run_part "CPU while waiting (5 s each)" "$here/tools/bench/cpu_waits.sh" "$build" "$here/data"
[ -x "$build/pty_bench" ] &&
  run_part "Key latency, start-up and pacing" "$build/pty_bench" "$build" "$here/data"
[ -x "$build/recording_bench" ] &&
  run_part "Recordings (an hour of play, headless)" "$build/recording_bench" "$here/data"
[ -x "$build/web_reference" ] &&
  run_part "In the browser (headless Chromium)" "$here/tools/bench/web_bench.sh" "$build" "$here/data"

echo "machine: $(uname -srm), $(nproc) cores, $(awk -F': ' '/model name/ { print $2; exit }' /proc/cpuinfo 2>/dev/null)"
echo
# Columns padded by characters, not bytes (× and ≤ are one column each).
LC_ALL=C awk -F '\t' '
  function width(text,   copy) { copy = text; return length(text) - gsub(/[\200-\277]/, "", copy) }
  function pad(text, size, right,   fill) {
    fill = sprintf("%" (size - width(text) > 0 ? size - width(text) : 0) "s", "")
    return right ? fill text : text fill
  }
  function line(a, b, c, d, e, f) {
    print pad(a, 44, 0) " " pad(b, 14, 1) " " pad(c, 14, 1) " " pad(d, 9, 1) " " pad(e, 12, 1) " " pad(f, 5, 1)
  }
  BEGIN { line("measure", "ours", "reference", "ratio", "goal", "met") }
  $1 == "part" { printf "\n%s\n", $2; next }
  $1 == "row" { line("  " $2, $3, $4, $5, $6, $7) }
' "$rows"
echo
echo "details: $log"
