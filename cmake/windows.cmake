# The Windows console program, and the Windows key translation in the tests.
if(WIN32)
  add_executable(chessrpg game/main.cpp platform/win32_console.cpp platform/win32_files.cpp platform/win32_keys.cpp
    platform/win32_save_files.cpp platform/win32_journal.cpp platform/win32_present.cpp
    platform/win32_input.cpp)
  # winmm: the one-millisecond system timer that keeps short sleeps short.
  target_link_libraries(chessrpg PRIVATE chessrpg_game chessrpg_memory_console winmm)
  if(MSVC)
    target_compile_definitions(chessrpg PRIVATE _CRT_SECURE_NO_WARNINGS)
    # The C runtime linked in, so that the program runs without a redistributable.
    set_property(TARGET chessrpg PROPERTY MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")
  elseif(MINGW)
    # libgcc, libstdc++ and winpthread linked in: the exe runs on its own
    # (stripped in a release build).
    target_link_options(chessrpg PRIVATE -static $<$<CONFIG:Release>:-s>)
  endif()

  # For the Wine smoke test: reports the console's code page around a run.
  add_executable(code_page_probe tests/windows/code_page_probe.cpp)
  target_include_directories(code_page_probe PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  if(MINGW)
    target_link_options(code_page_probe PRIVATE -static)
  endif()
endif()

if(TARGET chessrpg_tests)
  target_sources(chessrpg_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/platform/win32_keys.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/platform/win32_present.cpp)
  # The Windows program under Wine, when `make windows` has built it and Wine
  # is installed; skipped otherwise.
  add_test(NAME windows_wine_smoke
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tests/windows/wine_smoke.sh
            ${CMAKE_CURRENT_SOURCE_DIR}/build-windows/chessrpg.exe)
  set_tests_properties(windows_wine_smoke PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300)
endif()
