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
