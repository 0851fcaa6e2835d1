# SPDX-License-Identifier: GPL-3.0-or-later
# Runs one scenario: fresh working directory, the simulator on the script,
# its output compared with the expected text line by line.
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
foreach(dir Data Music)
  if(EXISTS ${DATA_DIR}/${dir})
    file(CREATE_LINK ${DATA_DIR}/${dir} ${WORK_DIR}/${dir} SYMBOLIC)
  endif()
endforeach()
get_filename_component(base ${SCRIPT} NAME_WE)
get_filename_component(folder ${SCRIPT} DIRECTORY)
if(EXISTS ${folder}/${base}.cfg)
  # A scenario may start from a settings file given as encoded text.
  file(COPY_FILE ${folder}/${base}.cfg ${WORK_DIR}/Config.cfg)
endif()
if(EXISTS ${folder}/${base}.url)
  # A scenario may bring the player's server.url; the file alone decides then.
  file(COPY_FILE ${folder}/${base}.url ${WORK_DIR}/server.url)
  unset(ENV{ZARVENOK_SERVER})
else()
  # The score server's address the scenarios expect, whatever the build's
  # default or the environment says.
  set(ENV{ZARVENOK_SERVER} "http://scores.example")
endif()
execute_process(COMMAND ${SIM} ${SCRIPT}
  WORKING_DIRECTORY ${WORK_DIR}
  OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "zarvenok-sim exited with ${status}\n${errors}\n--- output ---\n${output}")
endif()
if(EXISTS ${folder}/${base}.cfg.out)
  # The settings file the run must leave behind.
  file(READ ${folder}/${base}.cfg.out expected_cfg)
  file(READ ${WORK_DIR}/Config.cfg written_cfg)
  if(NOT written_cfg STREQUAL expected_cfg)
    message(FATAL_ERROR "Config.cfg differs from ${base}.cfg.out\n--- written ---\n${written_cfg}")
  endif()
endif()
set(expected_file ${folder}/${base}.out)
if(EXISTS ${expected_file})
  file(READ ${expected_file} expected)
  if(NOT output STREQUAL expected)
    file(WRITE ${WORK_DIR}/actual.out "${output}")
    message(FATAL_ERROR "output differs from ${expected_file}\n--- got ---\n${output}")
  endif()
endif()
