# The benchmarks of `make bench`: built only with CHESSRPG_BENCH, in an
# optimised build of their own (see the Makefile), never by `make test`.
if(CHESSRPG_BENCH AND NOT WIN32)
  set(CHESSRPG_BENCH_DIR ${CMAKE_CURRENT_SOURCE_DIR}/tools/bench)

  # --- bytes to the terminal ---
  set(CURSES_NEED_WIDE TRUE)
  find_package(Curses REQUIRED)
  add_executable(present_bytes
    ${CHESSRPG_BENCH_DIR}/present_bytes.cpp ${CHESSRPG_BENCH_DIR}/recorded_play.cpp)
  target_include_directories(present_bytes PRIVATE ${CURSES_INCLUDE_DIRS})
  target_link_libraries(present_bytes PRIVATE
    chessrpg_game chessrpg_headless chessrpg_terminal_parts chessrpg_sjis ${CURSES_LIBRARIES})

  # --- CPU while waiting ---

  # --- key latency, start-up and pacing ---
endif()
