#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a while on its seed
# corpus (tests/fuzz/corpus/<target>/). New inputs go to a scratch corpus;
# crashes to build-fuzz/artifacts/. Usage: tools/fuzz.sh [seconds per target] [target...]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
shift || true
build=$here/build-fuzz
"$here/tools/ensure_deps.sh" fuzz
CC=clang CXX=clang++ cmake -S "$here" -B "$build" -DCHESSRPG_FUZZ=ON -DCHESSRPG_TESTS=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  mapfile -t targets < <(cd "$here/tests/fuzz/corpus" && ls)
fi
cmake --build "$build" -j 2 --target "${targets[@]}"
mkdir -p "$build/artifacts"
for target in "${targets[@]}"; do
  scratch=$build/corpus/$target
  mkdir -p "$scratch"
  echo "== $target: $seconds s"
  "$build/$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/$target-" "$scratch" "$here/tests/fuzz/corpus/$target" 2>&1 |
    grep -E 'stat::number_of_executed_units|ERROR|SUMMARY|Done' || true
done
