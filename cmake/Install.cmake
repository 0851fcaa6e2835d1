# SPDX-License-Identifier: GPL-3.0-or-later
# What `cmake --install` puts where: the program in games/, its libraries and
# music in share/zarvenok/, what desktops look for (the menu entry, the icons
# and the AppStream description), the manual pages, and in share/doc each
# package's copyright and changelog. The score server installs its program
# and unit itself (server/CMakeLists.txt) as its own component; its manual
# page and documents are here with the game's.

# Manual pages and changelogs go in compressed as Debian expects them, with
# gzip -9n so that the same text always gives the same bytes.
function(zarvenok_gzip source output)
  get_filename_component(folder ${output} DIRECTORY)
  file(MAKE_DIRECTORY ${folder})
  execute_process(COMMAND gzip -9nc INPUT_FILE ${source} OUTPUT_FILE ${output} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "gzip could not compress ${source}")
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
endfunction()

# A manual page, configured with the version and release date.
function(zarvenok_manual_page name section component)
  configure_file(${CMAKE_SOURCE_DIR}/dist/man/${name}.${section}.in ${CMAKE_BINARY_DIR}/dist/man/${name}.${section} @ONLY)
  zarvenok_gzip(${CMAKE_BINARY_DIR}/dist/man/${name}.${section} ${CMAKE_BINARY_DIR}/dist/man/${name}.${section}.gz)
  install(FILES ${CMAKE_BINARY_DIR}/dist/man/${name}.${section}.gz
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section} COMPONENT ${component})
endfunction()

# Both packages come from one source: the same copyright and changelog.
zarvenok_gzip(${CMAKE_SOURCE_DIR}/dist/debian/changelog ${CMAKE_BINARY_DIR}/dist/changelog.Debian.gz)
function(zarvenok_package_documents package component)
  install(FILES ${CMAKE_SOURCE_DIR}/dist/debian/copyright ${CMAKE_BINARY_DIR}/dist/changelog.Debian.gz
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package} COMPONENT ${component})
endfunction()

if(TARGET zarvenok)
  install(TARGETS zarvenok RUNTIME DESTINATION ${ZARVENOK_INSTALL_GAMESDIR} COMPONENT game)
endif()
# Replays are checked and timed beside the game.
install(TARGETS zarvenok-replay RUNTIME DESTINATION ${ZARVENOK_INSTALL_GAMESDIR} COMPONENT game)

# The libraries and modules that the build draws and composes.
if(TARGET graphic_library)
  install(FILES ${CMAKE_BINARY_DIR}/Data/Graphic.dxg
          DESTINATION ${ZARVENOK_INSTALLED_DATADIR}/Data COMPONENT game)
  # The icon at the sizes the art list draws, and its source for every other.
  install(FILES ${CMAKE_BINARY_DIR}/Data/zarvenok.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps COMPONENT game)
  install(FILES ${CMAKE_BINARY_DIR}/Data/zarvenok-64.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps RENAME zarvenok.png COMPONENT game)
  install(FILES ${CMAKE_SOURCE_DIR}/assets/images/icon/zarvenok.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT game)
endif()
if(TARGET zarvenok_sounds)
  install(FILES ${CMAKE_BINARY_DIR}/Data/Music.dxw
          DESTINATION ${ZARVENOK_INSTALLED_DATADIR}/Data COMPONENT game)
  foreach(track 1 2 3)
    install(FILES ${CMAKE_BINARY_DIR}/Music/${track}.xm
            DESTINATION ${ZARVENOK_INSTALLED_DATADIR}/Music COMPONENT game)
  endforeach()
endif()

# The menu entry names the program where it is installed.
install(CODE "
  set(ZARVENOK_PROGRAM \"\${CMAKE_INSTALL_PREFIX}/${ZARVENOK_INSTALL_GAMESDIR}/zarvenok\")
  configure_file(\"${CMAKE_SOURCE_DIR}/dist/zarvenok.desktop.in\" \"${CMAKE_BINARY_DIR}/dist/zarvenok.desktop\" @ONLY)
  " COMPONENT game)
install(FILES ${CMAKE_BINARY_DIR}/dist/zarvenok.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT game)
configure_file(${CMAKE_SOURCE_DIR}/dist/io.github.zarvenok.Zarvenok.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/dist/io.github.zarvenok.Zarvenok.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/dist/io.github.zarvenok.Zarvenok.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT game)
zarvenok_manual_page(zarvenok 6 game)
zarvenok_manual_page(zarvenok-replay 6 game)
zarvenok_package_documents(zarvenok game)

if(TARGET zarvenok-server)
  zarvenok_manual_page(zarvenok-server 8 server)
  zarvenok_package_documents(zarvenok-server server)
endif()
