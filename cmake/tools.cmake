# Tools for people who edit the data, built beside the game and reading the data
# with the game's own loaders and walk test. The problem-finding code they
# share is a library the tests link too.
if(TARGET chessrpg_sjis)
  add_library(chessrpg_data_checks STATIC
    tools/data_problems.cpp tools/layout_problems.cpp tools/map_problems.cpp tools/record_checks.cpp
    tools/save_checks.cpp tools/recording_check.cpp)
  target_link_libraries(chessrpg_data_checks PUBLIC chessrpg_game chessrpg_sjis chessrpg_data_file)
  if(TARGET chessrpg_tests)
    target_link_libraries(chessrpg_tests PRIVATE chessrpg_data_checks)
  endif()

  # The world picture: a map editor's view of the whole world and its problems.
  add_executable(world_picture tools/world_picture.cpp tools/world_stats.cpp tools/tool_command.cpp
    tools/tool_platform.cpp)
  target_link_libraries(world_picture PRIVATE chessrpg_data_checks chessrpg_sjis chessrpg_data_file)
  # The data checker: one line per problem in any file of a data tree.
  add_executable(data_check tools/data_check.cpp tools/tool_command.cpp tools/tool_platform.cpp)
  target_link_libraries(data_check PRIVATE chessrpg_data_checks chessrpg_sjis chessrpg_data_file)
  if(CHESSRPG_TESTS)
    add_test(NAME shipped_world_has_no_problems
      COMMAND world_picture ${CHESSRPG_DATA_DIR})
    add_test(NAME world_picture_finds_problems
      COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tests/tools/world_picture_problems.sh
              $<TARGET_FILE:world_picture> ${CHESSRPG_DATA_DIR})
    add_test(NAME shipped_data_passes_the_data_check
      COMMAND data_check ${CHESSRPG_DATA_DIR})
    add_test(NAME data_tools_command_line
      COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tests/tools/data_tools_cli.sh
              $<TARGET_FILE:data_check> $<TARGET_FILE:world_picture> ${CHESSRPG_DATA_DIR})
  endif()
endif()

# Through the real program in tmux: the shipped world's first screen and a walk
# into the next one.
if(TARGET chessrpg AND TARGET chessrpg_tests AND TMUX_PROGRAM)
  add_test(NAME e2e_field_walk
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tests/e2e/field_walk.sh $<TARGET_FILE:chessrpg> ${CHESSRPG_DATA_DIR})
  set_tests_properties(e2e_field_walk PROPERTIES TIMEOUT 90 LABELS e2e)
endif()

# The floors of the code, drawn from its includes: none runs up a floor, no
# circle, no file too long (tools/include_floors.cpp).
if(CHESSRPG_TESTS)
  add_executable(include_floors tools/include_floors.cpp)
  add_test(NAME floors_run_one_way COMMAND include_floors ${CMAKE_CURRENT_SOURCE_DIR})
endif()
