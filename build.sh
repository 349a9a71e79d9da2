#!/bin/sh
# Builds the game and plays it, or builds and runs every test, on a machine
# that may have nothing but a shell: tools/ensure_deps.sh installs what is
# missing first. `make play`, `make build` and `make test` call it too.
#
#   ./build.sh play [OPTION]...
#                      build the game alone, then play it on the shipped data
#                      (the options go to the game: --continue, --new, ...)
#   ./build.sh build   build the game and its data tools (what make install installs)
#   ./build.sh test    build the game, its tools and tests, then run every test
#
# The build's output goes to BUILD/build.log; its last lines are shown when it
# fails. Environment: BUILD (build folder, default build), JOBS (parallel
# jobs, default the number of cores), CMAKE_FLAGS (extra cmake options).
set -eu
root=$(cd "$(dirname "$0")" && pwd)
cd "$root"
BUILD=${BUILD:-build}
JOBS=${JOBS:-$(nproc 2>/dev/null || echo 2)}
CMAKE_FLAGS=${CMAKE_FLAGS:-}
case "$BUILD" in /*) build=$BUILD ;; *) build=$root/$BUILD ;; esac
log=$build/build.log

# build_quietly WHAT CMAKE_OPTIONS -- BUILD_OPTIONS: configures and builds
# with the output in the log.
build_quietly() {
  what=$1
  shift
  configure=
  while [ "$1" != -- ]; do configure="$configure $1"; shift; done
  shift
  echo "Building $what in $BUILD/ (log: $BUILD/build.log)..."
  mkdir -p "$build"
  # shellcheck disable=SC2086 # the options are lists of words
  if ! { cmake -S "$root" -B "$build" $CMAKE_FLAGS $configure &&
         cmake --build "$build" -j "$JOBS" "$@"; } >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "The build failed; the whole log is in $BUILD/build.log" >&2
    exit 1
  fi
}

case "${1:-}" in
  build)
    sh tools/ensure_deps.sh play
    build_quietly "the game and its data tools" -- --target chessrpg world_picture data_check ;;
  play)
    shift
    sh tools/ensure_deps.sh play
    build_quietly "the game" -- --target chessrpg
    echo "Starting the game: the arrow keys walk; Ctrl+C ends it."
    # The line the game leaves after exit names this command to go on.
    CHESSRPG_COMMAND=${CHESSRPG_COMMAND:-"$0 play --continue"}
    export CHESSRPG_COMMAND
    cd "$root/data"
    exec "$build/chessrpg" "$@" ;;
  test)
    sh tools/ensure_deps.sh test
    echo "The first build of the tests takes a few minutes."
    build_quietly "the game, its tools and tests" -DCHESSRPG_TESTS=ON --
    exec ctest --test-dir "$build" --output-on-failure --no-tests=error --progress -j "$JOBS" ;;
  *)
    echo "usage: $0 play [OPTION]...|build|test" >&2
    exit 2 ;;
esac
