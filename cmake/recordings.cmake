# Recorded journeys of the shipped world (tests/recordings): made by the
# scripted player on the headless backend (`make recordings` re-makes them
# after a change of the game or its data), replayed by the tests.
if(TARGET chessrpg_scripted_player)
  add_library(chessrpg_journey_runs STATIC tools/recordings/journey_runs.cpp)
  target_link_libraries(chessrpg_journey_runs PUBLIC chessrpg_scripted_player chessrpg_headless)
  add_executable(record_journeys tools/recordings/record_journeys.cpp)
  target_link_libraries(record_journeys PRIVATE chessrpg_journey_runs chessrpg_sjis)
  if(TARGET chessrpg_tests)
    target_link_libraries(chessrpg_tests PRIVATE chessrpg_journey_runs)
  endif()
endif()

# What recordings cost (make bench).
if(CHESSRPG_BENCH AND TARGET chessrpg_journey_runs)
  add_executable(recording_bench tools/bench/recording_bench.cpp)
  target_link_libraries(recording_bench PRIVATE chessrpg_journey_runs chessrpg_sjis)
endif()
