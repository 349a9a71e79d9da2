# Installing the game: the rules behind `make install` (PREFIX, DESTDIR) and,
# with CHESSRPG_DEBIAN, the Debian package of `make deb`, made by CPack from
# the same rules. The version the program reports is the project's.
set_property(SOURCE game/command_line.cpp APPEND PROPERTY COMPILE_DEFINITIONS
  CHESSRPG_VERSION="${PROJECT_VERSION}")

# Windows has its zip instead (cmake/windows.cmake).
if(NOT WIN32)
  include(GNUInstallDirs)
  option(CHESSRPG_DEBIAN "Install in Debian's games layout, with the package's own files (make deb)" OFF)
  if(CHESSRPG_DEBIAN)
    set(CHESSRPG_GAME_INSTALL_DIR games)
    set(CHESSRPG_DATA_INSTALL_DIR share/games/chessrpg)
  else()
    set(CHESSRPG_GAME_INSTALL_DIR ${CMAKE_INSTALL_BINDIR})
    set(CHESSRPG_DATA_INSTALL_DIR ${CMAKE_INSTALL_DATADIR}/chessrpg)
  endif()

  # The program looks for the installed data by the way from its own folder to
  # the data's, which stays the same whatever the prefix (given when installing,
  # or changed by moving the installed tree). The source tree's data is searched
  # only by a program in its build folder, and a packaged program knows of
  # neither folder.
  if(IS_ABSOLUTE "${CHESSRPG_DATA_INSTALL_DIR}")
    set(data_from_game "${CHESSRPG_DATA_INSTALL_DIR}")
  else()
    file(RELATIVE_PATH data_from_game
      /prefix/${CHESSRPG_GAME_INSTALL_DIR} /prefix/${CHESSRPG_DATA_INSTALL_DIR})
  endif()
  set_property(SOURCE platform/posix_files.cpp APPEND PROPERTY COMPILE_DEFINITIONS
    CHESSRPG_INSTALLED_DATA="${data_from_game}")
  if(NOT CHESSRPG_DEBIAN)
    set_property(SOURCE platform/posix_files.cpp APPEND PROPERTY COMPILE_DEFINITIONS
      "CHESSRPG_BUILD_DIR=\"$<TARGET_FILE_DIR:chessrpg>\"")
  endif()

endif()

# The command line of the real program.
if(TARGET chessrpg_tests AND NOT WIN32)
  find_program(TMUX_PROGRAM tmux)
  if(TMUX_PROGRAM)
    add_test(NAME e2e_command_line
      COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tests/e2e/command_line.sh
              $<TARGET_FILE:chessrpg> ${CHESSRPG_DATA_DIR} ${PROJECT_VERSION})
    set_tests_properties(e2e_command_line PROPERTIES TIMEOUT 90 LABELS e2e)
  endif()
endif()
