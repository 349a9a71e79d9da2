# The benchmarks of `make bench`: built only with CHESSRPG_BENCH, in an
# optimised build of their own (see the Makefile), never by `make test`.
if(CHESSRPG_BENCH AND NOT WIN32)
  set(CHESSRPG_BENCH_DIR ${CMAKE_CURRENT_SOURCE_DIR}/tools/bench)

  # --- bytes to the terminal ---
  set(CURSES_NEED_WIDE TRUE)
  find_package(Curses REQUIRED)
  add_executable(present_bytes ${CHESSRPG_BENCH_DIR}/present_bytes.cpp)
  target_include_directories(present_bytes PRIVATE ${CURSES_INCLUDE_DIRS})
  target_link_libraries(present_bytes PRIVATE chessrpg_bench_scenes ${CURSES_LIBRARIES})

  # --- CPU while waiting ---
  # chessrpg_spin: the program with waits that poll without pause, as plain
  # busy loops would, beside which tools/bench/cpu_waits.sh shows what the
  # blocking waits save. The fatal stop is game code, so the game is built a
  # second time with the definition; chessrpg and its library stay as they are.
  add_library(chessrpg_game_spin STATIC ${CHESSRPG_GAME_SOURCES})
  target_include_directories(chessrpg_game_spin PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_definitions(chessrpg_game_spin PRIVATE CHESSRPG_SPIN_WAITS)
  add_executable(chessrpg_spin game/main.cpp platform/terminal.cpp platform/presenter.cpp platform/posix_files.cpp
    platform/posix_named_files.cpp)
  target_link_libraries(chessrpg_spin PRIVATE
    chessrpg_game_spin chessrpg_terminal_parts chessrpg_memory_console chessrpg_sjis chessrpg_data_file)
  target_compile_definitions(chessrpg_spin PRIVATE
    CHESSRPG_SPIN_WAITS CHESSRPG_DATA_DIR="${CHESSRPG_DATA_DIR}")

  # --- key latency, start-up and pacing ---
  # The real program in a pseudo-terminal driven by pty_bench, and the same
  # scenes on the headless backend for the length their pauses add up to.
  add_executable(pty_bench ${CHESSRPG_BENCH_DIR}/pty_bench.cpp ${CHESSRPG_BENCH_DIR}/pty_session.cpp)
  target_link_libraries(pty_bench PRIVATE chessrpg_bench_scenes)
  # forkpty: in libutil on older glibc and the BSDs, in the C library elsewhere.
  find_library(CHESSRPG_UTIL_LIBRARY util)
  if(CHESSRPG_UTIL_LIBRARY)
    target_link_libraries(pty_bench PRIVATE ${CHESSRPG_UTIL_LIBRARY})
  endif()
  add_dependencies(pty_bench chessrpg)
endif()

# The benchmarks' model of a terminal screen, their data trees and their
# headless scenes and recorded play, which the tests check too.
if(NOT WIN32 AND (CHESSRPG_BENCH OR TARGET chessrpg_tests))
  add_library(chessrpg_screen_model STATIC tools/bench/screen_model.cpp)
  target_include_directories(chessrpg_screen_model PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  add_library(chessrpg_bench_scenes STATIC
    tools/bench/scenes.cpp tools/bench/scratch_data.cpp tools/bench/recorded_play.cpp)
  target_link_libraries(chessrpg_bench_scenes PUBLIC
    chessrpg_screen_model chessrpg_game chessrpg_headless chessrpg_terminal_parts chessrpg_sjis)
  if(TARGET chessrpg_tests)
    target_link_libraries(chessrpg_tests PRIVATE chessrpg_bench_scenes)
  endif()
endif()
