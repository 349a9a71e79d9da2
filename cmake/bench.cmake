# The benchmarks of `make bench`: built only with CHESSRPG_BENCH, in an
# optimised build of their own (see the Makefile), never by `make test`.
if(CHESSRPG_BENCH AND NOT WIN32)
  set(CHESSRPG_BENCH_DIR ${CMAKE_CURRENT_SOURCE_DIR}/tools/bench)

  # --- bytes to the terminal ---

  # --- CPU while waiting ---

  # --- key latency, start-up and pacing ---
endif()
