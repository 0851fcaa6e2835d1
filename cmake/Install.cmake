# What `cmake --install` puts where, in the usual GNU layout: the program in
# bin/, its libraries and music in share/zarvenok/, and what desktops look
# for: the menu entry, the icons and the AppStream description. The score
# server installs itself (server/CMakeLists.txt) as its own component.

if(TARGET zarvenok)
  install(TARGETS zarvenok RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT game)
endif()

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

install(FILES ${CMAKE_SOURCE_DIR}/dist/zarvenok.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT game)
configure_file(${CMAKE_SOURCE_DIR}/dist/zarvenok.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/dist/zarvenok.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/dist/zarvenok.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT game)
