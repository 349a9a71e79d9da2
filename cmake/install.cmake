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

  # The program, and the data tools under names of the game's own.
  install(PROGRAMS $<TARGET_FILE:chessrpg> DESTINATION ${CHESSRPG_GAME_INSTALL_DIR})
  install(PROGRAMS $<TARGET_FILE:world_picture> DESTINATION ${CMAKE_INSTALL_BINDIR}
    RENAME chessrpg-world-picture)
  install(PROGRAMS $<TARGET_FILE:data_check> DESTINATION ${CMAKE_INSTALL_BINDIR}
    RENAME chessrpg-data-check)
  install(DIRECTORY data/ DESTINATION ${CHESSRPG_DATA_INSTALL_DIR}
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
    DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                          WORLD_READ WORLD_EXECUTE)
  # The README and the pages it links to, so that its links hold where it is installed.
  install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
  install(DIRECTORY docs DESTINATION ${CMAKE_INSTALL_DOCDIR} FILES_MATCHING PATTERN "*.md")
  # The licence; the Debian package carries it in its copyright file instead.
  if(NOT CHESSRPG_DEBIAN)
    install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})
  endif()

  # Manual pages and the desktop entry, with the version and the program's path
  # filled in. The package's pages are compressed, as Debian's policy asks.
  set(packaging ${CMAKE_CURRENT_SOURCE_DIR}/packaging)
  set(packaging_out ${CMAKE_CURRENT_BINARY_DIR}/packaging)
  if(CHESSRPG_DEBIAN)
    set(CHESSRPG_DESKTOP_EXEC /usr/games/chessrpg)
  else()
    set(CHESSRPG_DESKTOP_EXEC chessrpg)
  endif()
  configure_file(${packaging}/chessrpg.desktop.in ${packaging_out}/chessrpg.desktop @ONLY)
  install(FILES ${packaging_out}/chessrpg.desktop DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
  set(compressed "")
  foreach(page chessrpg.6 chessrpg-world-picture.1 chessrpg-data-check.1)
    configure_file(${packaging}/${page}.in ${packaging_out}/${page} @ONLY)
    string(REGEX REPLACE ".*\\." "man" section ${page})
    if(CHESSRPG_DEBIAN)
      add_custom_command(OUTPUT ${packaging_out}/gz/${page}.gz
        COMMAND ${CMAKE_COMMAND} -E copy ${packaging_out}/${page} ${packaging_out}/gz/${page}
        COMMAND gzip -9nf ${packaging_out}/gz/${page}
        DEPENDS ${packaging_out}/${page} VERBATIM)
      list(APPEND compressed ${packaging_out}/gz/${page}.gz)
      install(FILES ${packaging_out}/gz/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/${section})
    else()
      install(FILES ${packaging_out}/${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/${section})
    endif()
  endforeach()

  if(CHESSRPG_DEBIAN)
    # The package's copyright file and its changelog, whose first entry must be
    # this version.
    set(CHESSRPG_DEBIAN_RELEASE 1)
    file(STRINGS ${packaging}/changelog.Debian changelog_top LIMIT_COUNT 1)
    if(NOT changelog_top MATCHES "^chessrpg \\(${PROJECT_VERSION}-${CHESSRPG_DEBIAN_RELEASE}\\) ")
      message(FATAL_ERROR "packaging/changelog.Debian does not start with version "
                          "${PROJECT_VERSION}-${CHESSRPG_DEBIAN_RELEASE}: add an entry for it")
    endif()
    add_custom_command(OUTPUT ${packaging_out}/gz/changelog.Debian.gz
      COMMAND ${CMAKE_COMMAND} -E copy ${packaging}/changelog.Debian ${packaging_out}/gz/changelog.Debian
      COMMAND gzip -9nf ${packaging_out}/gz/changelog.Debian
      DEPENDS ${packaging}/changelog.Debian VERBATIM)
    add_custom_target(chessrpg_compressed_docs ALL DEPENDS ${compressed} ${packaging_out}/gz/changelog.Debian.gz)
    install(FILES ${packaging}/copyright ${packaging_out}/gz/changelog.Debian.gz
      DESTINATION ${CMAKE_INSTALL_DOCDIR})

    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGE_NAME chessrpg)
    set(CPACK_PACKAGE_VENDOR "the Chess RPG developers")
    set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "role-playing game in the terminal, against the chess pieces")
    # Lines of at most 80 columns, as the package tools show them.
    set(CPACK_PACKAGE_DESCRIPTION [=[
A single-player role-playing game for a UTF-8 terminal of 80 x 30 (the
texts are Japanese). The hero walks a world of nine screens; Pawns,
Knights, Bishops and Rooks close in on him, and each that reaches him
starts a turn-based battle against its group: fight with abilities,
defend, use items with timed boosts, or flee. Victories bring experience,
levels and new abilities; the King and the Queen wait in their castles.

The package also holds two tools for people who change the world's data
files: chessrpg-data-check and chessrpg-world-picture.]=])
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CHESSRPG_MAINTAINER "Chess RPG maintainers <maintainers@users.noreply.c-seed-d88f1585.example>"
      CACHE STRING "Maintainer named in the Debian package")
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CHESSRPG_MAINTAINER}")
    set(CPACK_DEBIAN_PACKAGE_SECTION games)
    set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
    set(CPACK_DEBIAN_PACKAGE_RELEASE ${CHESSRPG_DEBIAN_RELEASE})
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
    # Stripped as Debian's own packages are (dh_strip): symbols, compiler notes.
    install(CODE "
      foreach(program ${CHESSRPG_GAME_INSTALL_DIR}/chessrpg ${CMAKE_INSTALL_BINDIR}/chessrpg-world-picture
                      ${CMAKE_INSTALL_BINDIR}/chessrpg-data-check)
        execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
                                --strip-unneeded \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${program}\"
                        RESULT_VARIABLE failed)
        if(failed)
          message(FATAL_ERROR \"cannot strip \${program}\")
        endif()
      endforeach()")
    install(FILES ${packaging}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides
      RENAME chessrpg)
    include(CPack)
  endif()
endif()

# The command line of the real program, and the installed program run from
# elsewhere (installed into a scratch DESTDIR by the check itself).
if(TARGET chessrpg_tests AND NOT WIN32)
  find_program(TMUX_PROGRAM tmux)
  if(TMUX_PROGRAM)
    add_test(NAME e2e_command_line
      COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tests/e2e/command_line.sh
              $<TARGET_FILE:chessrpg> ${CHESSRPG_DATA_DIR} ${PROJECT_VERSION})
    add_test(NAME e2e_installed
      COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tests/e2e/installed.sh ${CMAKE_BINARY_DIR} ${CHESSRPG_DATA_DIR})
    set_tests_properties(e2e_command_line e2e_installed PROPERTIES TIMEOUT 90 LABELS e2e)
  endif()
endif()
