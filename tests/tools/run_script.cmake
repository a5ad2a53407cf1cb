# Runs a .bas script through brtl in a scratch directory and compares what it prints (standard
# output and error, merged in order) and its exit status with the expected text beside it.
#   cmake -DBRTL=<tool> -DSCRIPT=<x.bas> -DEXPECTED=<x.out> -DSCRATCH=<dir> -P run_script.cmake
# The first lines of the expected file may be "exit N" (default 0) and "lines": the script's
# lines are then run one at a time through standard input (brtl -), where a trap ends only its
# line; otherwise the script is a module (brtl FILE).
# With -DMODE=translated the module is built by "brtl build" and the program it becomes runs
# instead: both must give the same output and exit status (a module the checker refuses gives
# brtl build's messages and status).
# A cross build runs the tool through its emulator (EMULATOR, the list joined with "|").
string(REPLACE "|" ";" emulator "${EMULATOR}")

file(REMOVE_RECURSE "${SCRATCH}")
file(MAKE_DIRECTORY "${SCRATCH}")
file(WRITE "${SCRATCH}/profile.ini" "[intl]\n")
# The program runs from the scratch directory under its own name, which its messages show.
get_filename_component(script_name "${SCRIPT}" NAME)
file(COPY "${SCRIPT}" DESTINATION "${SCRATCH}")
set(ENV{BRTL_PROFILE} "${SCRATCH}/profile.ini")
set(ENV{XDG_CONFIG_HOME} "${SCRATCH}")
set(ENV{BRTL_DEBUG_OUTPUT} "")
file(READ "${EXPECTED}" expected)
set(expected_status 0)
if(expected MATCHES "^exit ([0-9]+)\n")
  set(expected_status "${CMAKE_MATCH_1}")
  string(REGEX REPLACE "^exit [0-9]+\n" "" expected "${expected}")
endif()
if(expected MATCHES "^lines\n")
  string(REGEX REPLACE "^lines\n" "" expected "${expected}")
  execute_process(COMMAND ${emulator} "${BRTL}" - INPUT_FILE "${SCRATCH}/${script_name}"
    WORKING_DIRECTORY "${SCRATCH}"
    OUTPUT_VARIABLE actual ERROR_VARIABLE actual RESULT_VARIABLE status)
elseif(MODE STREQUAL "translated")
  get_filename_component(program_name "${SCRIPT}" NAME_WE)
  execute_process(COMMAND ${emulator} "${BRTL}" build "${script_name}" -o "${program_name}"
    WORKING_DIRECTORY "${SCRATCH}"
    OUTPUT_VARIABLE actual ERROR_VARIABLE actual RESULT_VARIABLE status)
  if(status EQUAL 0)
    execute_process(COMMAND ${emulator} "./${program_name}"
      WORKING_DIRECTORY "${SCRATCH}"
      OUTPUT_VARIABLE actual ERROR_VARIABLE actual RESULT_VARIABLE status)
  endif()
else()
  execute_process(COMMAND ${emulator} "${BRTL}" "${script_name}"
    WORKING_DIRECTORY "${SCRATCH}"
    OUTPUT_VARIABLE actual ERROR_VARIABLE actual RESULT_VARIABLE status)
endif()
string(REPLACE "\r\n" "\n" actual "${actual}") # Windows text streams end lines with CR LF
if(NOT actual STREQUAL expected OR NOT status STREQUAL expected_status)
  file(WRITE "${SCRATCH}/actual.out" "${actual}")
  message(FATAL_ERROR "${SCRIPT}: exit ${status} (expected ${expected_status}); output:\n${actual}\n"
                      "--- expected:\n${expected}\n(the output is in ${SCRATCH}/actual.out)")
endif()
file(REMOVE_RECURSE "${SCRATCH}")
