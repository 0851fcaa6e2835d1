# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the image library a second time into a fresh folder and compares it
# with the one the build made: the same sources must give the same bytes.
file(REMOVE_RECURSE ${WORK})
execute_process(COMMAND ${ART} build ${LIST} ${WORK}/Graphic.dxg ${WORK}/work
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "zarvenok-art build failed (${status})")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/Graphic.dxg ${LIBRARY} RESULT_VARIABLE differ)
if(NOT differ EQUAL 0)
  message(FATAL_ERROR "A second build of the image library differs from ${LIBRARY}")
endif()
file(REMOVE_RECURSE ${WORK})
