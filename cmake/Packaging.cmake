# SPDX-License-Identifier: GPL-3.0-or-later
# Debian packages with CPack: `cmake --build build/default --target package`
# (or scripts/package). Two packages, as a packager would split them: the
# game for players, and the score server for whoever runs the online table,
# which brings a database and an HTTP library that players do not need.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zarvenok)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# Each package's description below starts with its own summary line. CPack
# would put the common summary before it unless that is CPack's own default.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${CMAKE_PROJECT_NAME} built using CMake")
set(CPACK_PACKAGE_VENDOR "Zarvenok developers")
set(ZARVENOK_MAINTAINER "Zarvenok maintainers <maintainers@zarvenok.invalid>"
    CACHE STRING "The Maintainer field of the Debian packages")
set(CPACK_PACKAGE_CONTACT ${ZARVENOK_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES TRUE)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL game)
if(TARGET zarvenok-server)
  list(APPEND CPACK_COMPONENTS_ALL server)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The Debian revision comes from the latest entry of the packages' changelog,
# where each new version needs an entry of its own.
file(STRINGS ${CMAKE_SOURCE_DIR}/dist/debian/changelog ZARVENOK_CHANGELOG_HEAD LIMIT_COUNT 1)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/dist/debian/changelog)
if(NOT ZARVENOK_CHANGELOG_HEAD MATCHES "^zarvenok \\(([^)]+)-([^)-]+)\\) ")
  message(FATAL_ERROR "dist/debian/changelog does not start with an entry \"zarvenok (VERSION-REVISION) ...\"")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(WARNING "The latest entry of dist/debian/changelog is for ${CMAKE_MATCH_1}, the project is ${PROJECT_VERSION}")
endif()
set(CPACK_DEBIAN_PACKAGE_RELEASE ${CMAKE_MATCH_2})
# Both packages are built from one source package.
set(CPACK_DEBIAN_PACKAGE_SOURCE zarvenok)
# The libraries each program links, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)

set(CPACK_DEBIAN_GAME_PACKAGE_NAME zarvenok)
set(CPACK_DEBIAN_GAME_PACKAGE_SECTION games)
# The web-site buttons and "play.url" open through the desktop's handler.
set(CPACK_DEBIAN_GAME_PACKAGE_RECOMMENDS xdg-utils)
set(CPACK_DEBIAN_GAME_DESCRIPTION
    "2D shooting game: hold a desert town against soldiers, tanks and a helicopter\nAim with the mouse and shoot the soldiers, tanks, trucks and the helicopter\nthat take cover behind the scenery and shoot back. Each player keeps a table\nof the ten best scores; a good score may be sent to the online table of a\nscore server that the player names.")

set(CPACK_DEBIAN_SERVER_PACKAGE_NAME zarvenok-server)
set(CPACK_DEBIAN_SERVER_PACKAGE_SECTION net)
set(CPACK_DEBIAN_SERVER_DESCRIPTION
    "Score server and web site of the game Zarvenok\nHands out one-time tokens, takes score submissions from the game and\nserves the online table and the home page, over SQLite or PostgreSQL.\nIt re-runs the replay uploaded with each score and marks the scores\nthat it proves.\nThe systemd unit zarvenok-server.service is installed but not enabled.")
# dpkg runs the maintainer scripts by these names in the control archive:
# the unit is made known to systemd and the service stops on removal.
set(CPACK_DEBIAN_SERVER_PACKAGE_CONTROL_EXTRA
    ${CMAKE_SOURCE_DIR}/dist/debian/zarvenok-server/postinst
    ${CMAKE_SOURCE_DIR}/dist/debian/zarvenok-server/prerm
    ${CMAKE_SOURCE_DIR}/dist/debian/zarvenok-server/postrm)

include(CPack)
