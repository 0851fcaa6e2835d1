# SPDX-License-Identifier: GPL-3.0-or-later
# emcc as Debian's emscripten package installs it (scripts/web-deps). Its
# tools run on node and need Debian's node modules, which the web presets
# put in NODE_PATH.
set(ZARVENOK_EMSCRIPTEN_TOOLCHAIN /usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)
if(NOT EXISTS ${ZARVENOK_EMSCRIPTEN_TOOLCHAIN})
  message(FATAL_ERROR "emscripten is not installed: run scripts/web-deps (or scripts/web)")
endif()
include(${ZARVENOK_EMSCRIPTEN_TOOLCHAIN})
