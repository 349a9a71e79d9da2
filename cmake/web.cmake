# The browser build: with Emscripten's toolchain (web/build.sh, `make web`) the
# program chessrpg_web (chessrpg.js and its WebAssembly, chessrpg.wasm); in the usual
# build, the browser tests, which make that build themselves.
if(EMSCRIPTEN)
  add_executable(chessrpg_web
    game/main.cpp
    platform/web.cpp
    platform/presenter.cpp
    platform/web_sjis_utf8.cpp
    platform/terminal_keys.cpp
    platform/terminal_render.cpp
    platform/screen_text.cpp
    platform/terminal_glyphs.cpp
    platform/posix_files.cpp
    platform/posix_data_file.cpp
    platform/web_save_files.cpp
    platform/posix_named_files.cpp)
  target_include_directories(chessrpg_web PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(chessrpg_web PRIVATE chessrpg_game chessrpg_memory_console)
  set_target_properties(chessrpg_web PROPERTIES OUTPUT_NAME chessrpg SUFFIX .js)
  target_link_options(chessrpg_web PRIVATE
    # The waits suspend the program and give the page its turn.
    -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536
    # The WebAssembly in a file of its own (chessrpg.wasm), which the page
    # compiles as it comes in while the rest of the page loads.
    -sENVIRONMENT=web
    -sEXPORTED_RUNTIME_METHODS=FS,ENV,UTF8ToString,addRunDependency,removeRunDependency -sFORCE_FILESYSTEM
    -sINITIAL_MEMORY=16777216)
  return()
endif()

# What the browser tests and benchmarks hold the page to, from the headless backend.
if(TARGET chessrpg_bench_scenes)
  add_executable(web_reference tools/bench/web_reference.cpp)
  target_link_libraries(web_reference PRIVATE chessrpg_bench_scenes)
endif()

# The browser tests: the web build in a folder of its own, then headless
# Chromium driven by Node.js through the page. They need Emscripten, Node.js
# and npm, what cuts the page's font (Debian's Noto CJK, and fontTools with
# Brotli in Debian's Python), and Chromium; without them they are reported as
# skipped (CI, with CHESSRPG_REQUIRE_WEB=1, fails instead).
if(TARGET chessrpg_tests)
  find_program(CHESSRPG_EMCC emcc)
  find_program(CHESSRPG_NODE node)
  find_program(CHESSRPG_NPM npm)
  find_program(CHESSRPG_CHROMIUM NAMES chromium chromium-browser)
  set(CHESSRPG_WEB_TESTS ${CMAKE_CURRENT_SOURCE_DIR}/tests/web)
  execute_process(COMMAND /usr/bin/python3 -c "import fontTools.subset, brotli"
    RESULT_VARIABLE CHESSRPG_FONT_TOOLS OUTPUT_QUIET ERROR_QUIET)
  if(CHESSRPG_SANITIZE)
    set(CHESSRPG_WEB_MISSING "the browser build has no sanitizers; the plain build runs them")
  elseif(NOT CHESSRPG_EMCC OR NOT CHESSRPG_NODE OR NOT CHESSRPG_NPM OR NOT CHESSRPG_CHROMIUM)
    set(CHESSRPG_WEB_MISSING "Emscripten, Node.js with npm, or Chromium is not installed (tools/ensure_deps.sh web-test)")
  elseif(NOT CHESSRPG_FONT_TOOLS EQUAL 0 OR NOT EXISTS /usr/share/fonts/opentype/noto/NotoSansCJK-Bold.ttc)
    set(CHESSRPG_WEB_MISSING "Noto CJK, or fontTools with Brotli, is not installed (tools/ensure_deps.sh web-test)")
  endif()
  if(CHESSRPG_WEB_MISSING)
    message(STATUS "browser tests skipped: ${CHESSRPG_WEB_MISSING}")
    add_test(NAME web_browser COMMAND ${CHESSRPG_WEB_TESTS}/skipped.sh "${CHESSRPG_WEB_MISSING}" ${CHESSRPG_SANITIZE})
    set_tests_properties(web_browser PROPERTIES SKIP_RETURN_CODE 77)
  else()
    add_test(NAME web_browser
      COMMAND ${CHESSRPG_WEB_TESTS}/run.sh ${CMAKE_BINARY_DIR}/web $<TARGET_FILE:web_reference>
              ${CHESSRPG_DATA_DIR} ${CHESSRPG_CHROMIUM})
    set_tests_properties(web_browser PROPERTIES TIMEOUT 600 LABELS web)
  endif()
endif()
