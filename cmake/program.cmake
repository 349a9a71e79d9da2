# The program on Linux and macOS: the game with the terminal backend, its unit
# tests, and the end-to-end checks that drive the real binary in tmux.
if(NOT WIN32)
  add_library(chessrpg_terminal_parts STATIC
    platform/terminal_keys.cpp
    platform/terminal_render.cpp
    platform/terminal_glyphs.cpp
    platform/screen_text.cpp)
  target_include_directories(chessrpg_terminal_parts PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(chessrpg_terminal_parts PUBLIC chessrpg_memory_console chessrpg_sjis)

  add_executable(chessrpg game/main.cpp platform/terminal.cpp platform/presenter.cpp platform/posix_files.cpp
    platform/posix_named_files.cpp)
  target_link_libraries(chessrpg PRIVATE
    chessrpg_game chessrpg_terminal_parts chessrpg_memory_console chessrpg_sjis chessrpg_data_file)
  target_compile_definitions(chessrpg PRIVATE CHESSRPG_DATA_DIR="${CHESSRPG_DATA_DIR}")
  # iconv is part of the C library on glibc; macOS keeps it in libiconv.
  if(APPLE)
    target_link_libraries(chessrpg_sjis PUBLIC iconv)
  endif()

  if(TARGET chessrpg_tests)
    target_link_libraries(chessrpg_tests PRIVATE chessrpg_terminal_parts)
    # The presenter against a terminal in code: a program of its own, since
    # the presenter implements the console as the headless backend does.
    add_executable(chessrpg_presenter_tests tests/presenter/presenter_test.cpp platform/presenter.cpp)
    target_link_libraries(chessrpg_presenter_tests PRIVATE chessrpg_terminal_parts GTest::gtest_main)
    gtest_discover_tests(chessrpg_presenter_tests DISCOVERY_TIMEOUT 60)

    find_program(TMUX_PROGRAM tmux)
    if(TMUX_PROGRAM)
      set(CHESSRPG_E2E_DIR ${CMAKE_CURRENT_SOURCE_DIR}/tests/e2e)
      foreach(check startup_and_kill fatal_stop data_not_files signals_restore resize encounter_flee win_level_up
          scroll_repaint way_in_and_out record_replay)
        add_test(NAME e2e_${check}
          COMMAND ${CHESSRPG_E2E_DIR}/${check}.sh $<TARGET_FILE:chessrpg> ${CHESSRPG_DATA_DIR})
        set_tests_properties(e2e_${check} PROPERTIES TIMEOUT 90 LABELS e2e)
      endforeach()
      set_tests_properties(e2e_signals_restore PROPERTIES TIMEOUT 150)
      # make play checks the build before the game starts.
      set_tests_properties(e2e_way_in_and_out PROPERTIES TIMEOUT 180)
      # Battles type their messages at 50 ms a byte.
      set_tests_properties(e2e_encounter_flee e2e_win_level_up PROPERTIES TIMEOUT 120)
    else()
      message(STATUS "tmux not found: the end-to-end checks are not registered")
    endif()
  endif()
endif()
