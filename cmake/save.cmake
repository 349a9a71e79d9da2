# The state folder's files (saves) for each backend: the terminal program and
# the headless backend of the tests and benchmarks use the POSIX files (the
# tests name the folder with XDG_STATE_HOME). The Windows program lists its
# own in cmake/windows.cmake.
if(NOT WIN32)
  target_sources(chessrpg PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/platform/posix_save_files.cpp)
  target_sources(chessrpg_headless PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/platform/posix_save_files.cpp)
  target_link_libraries(chessrpg_headless PUBLIC chessrpg_sjis)
  if(TARGET chessrpg_spin)
    target_sources(chessrpg_spin PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/platform/posix_save_files.cpp)
  endif()
endif()

# Through the real program in tmux: continuing a saved journey, kill -9 while
# it saves, and the save under attack (Linux: preloaded libraries slow the
# disk down or fill it).
if(TARGET chessrpg_tests AND TMUX_PROGRAM)
  add_test(NAME e2e_save_continue
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tests/e2e/save_continue.sh $<TARGET_FILE:chessrpg> ${CHESSRPG_DATA_DIR})
  set_tests_properties(e2e_save_continue PROPERTIES TIMEOUT 120 LABELS e2e)
  # A trial run (--start, --no-enemies) leaves the state folder as it was.
  add_test(NAME e2e_trial_run
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tests/e2e/trial_run.sh $<TARGET_FILE:chessrpg> ${CHESSRPG_DATA_DIR})
  set_tests_properties(e2e_trial_run PROPERTIES TIMEOUT 90 LABELS e2e)
  if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
    add_library(chessrpg_slow_sync MODULE tests/e2e/slow_sync.cpp)
    target_link_libraries(chessrpg_slow_sync PRIVATE ${CMAKE_DL_LIBS})
    add_test(NAME e2e_save_kill_loop
      COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tests/e2e/save_kill_loop.sh $<TARGET_FILE:chessrpg> ${CHESSRPG_DATA_DIR}
              $<TARGET_FILE:chessrpg_slow_sync> $<TARGET_FILE:data_check>)
    set_tests_properties(e2e_save_kill_loop PROPERTIES TIMEOUT 300 LABELS e2e)
    add_library(chessrpg_full_disk MODULE tests/e2e/full_disk.cpp)
    target_link_libraries(chessrpg_full_disk PRIVATE ${CMAKE_DL_LIBS})
    add_test(NAME e2e_save_attacked
      COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tests/e2e/save_attacked.sh $<TARGET_FILE:chessrpg> ${CHESSRPG_DATA_DIR}
              $<TARGET_FILE:chessrpg_full_disk> $<TARGET_FILE:chessrpg_slow_sync> $<TARGET_FILE:data_check>)
    set_tests_properties(e2e_save_attacked PROPERTIES TIMEOUT 180 LABELS e2e)
  endif()
endif()

# The save file's reader under libFuzzer (tools/fuzz.sh).
if(CHESSRPG_FUZZ)
  chessrpg_add_fuzzer(fuzz_save tests/fuzz/save_fuzz.cpp)
endif()
