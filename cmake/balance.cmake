# The scripted player, which plays the shipped world as a person would (the
# playthrough and soak tests drive it), and the balance run of `make balance`,
# which measures the world's battles and pace with it.
if(TARGET chessrpg_headless)
  add_library(chessrpg_scripted_player STATIC
    tests/scripted_player.cpp tests/player_battle.cpp tests/player_estimates.cpp tests/game_invariants.cpp)
  target_link_libraries(chessrpg_scripted_player PUBLIC chessrpg_game chessrpg_headless)
  if(TARGET chessrpg_tests)
    target_link_libraries(chessrpg_tests PRIVATE chessrpg_scripted_player)
  endif()

  add_library(chessrpg_balance STATIC tools/balance/balance_runs.cpp tools/balance/balance_table.cpp)
  target_link_libraries(chessrpg_balance PUBLIC chessrpg_scripted_player)
  add_executable(balance tools/balance/balance.cpp)
  target_compile_definitions(balance PRIVATE CHESSRPG_DATA_DIR="${CHESSRPG_DATA_DIR}")
  target_link_libraries(balance PRIVATE chessrpg_balance chessrpg_sjis)
  if(TARGET chessrpg_tests)
    target_link_libraries(chessrpg_tests PRIVATE chessrpg_balance)
    # A short run, to keep the program working; make balance runs the whole one.
    add_test(NAME balance_quick_run COMMAND balance --quick)
  endif()
endif()
