# The README shows a module and the C++ it becomes: both must be what examples/area.bas holds
# and what brtl translate writes for it today, and the program built from it prints its total.
#   cmake -DBRTL=<tool> -DSOURCE_DIR=<repository> -DSCRATCH=<dir> -P check_readme_translation.cmake
file(REMOVE_RECURSE "${SCRATCH}")
file(MAKE_DIRECTORY "${SCRATCH}")
file(READ "${SOURCE_DIR}/README.md" readme)
file(READ "${SOURCE_DIR}/examples/area.bas" module)
execute_process(COMMAND "${BRTL}" translate examples/area.bas WORKING_DIRECTORY "${SOURCE_DIR}"
  OUTPUT_VARIABLE cpp ERROR_VARIABLE errors RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "brtl translate examples/area.bas failed (${status}): ${errors}")
endif()
string(FIND "${readme}" "```basic\n${module}```" at_module)
string(FIND "${readme}" "```cpp\n${cpp}```" at_cpp)
if(at_module EQUAL -1 OR at_cpp EQUAL -1)
  file(WRITE "${SCRATCH}/area.cpp" "${cpp}")
  message(FATAL_ERROR "README.md does not show examples/area.bas (found: ${at_module}) or the "
                      "C++ brtl translate writes for it now (found: ${at_cpp}; the translation "
                      "is in ${SCRATCH}/area.cpp): update the README's example")
endif()
execute_process(COMMAND "${BRTL}" build "${SOURCE_DIR}/examples/area.bas" -o "${SCRATCH}/area"
  OUTPUT_VARIABLE out ERROR_VARIABLE out RESULT_VARIABLE status)
if(status EQUAL 0)
  execute_process(COMMAND "${SCRATCH}/area" OUTPUT_VARIABLE out ERROR_VARIABLE out
                  RESULT_VARIABLE status)
endif()
if(NOT status EQUAL 0 OR NOT out STREQUAL "Total: 12.00\n")
  message(FATAL_ERROR "examples/area.bas built and ran with status ${status}: ${out}")
endif()
file(REMOVE_RECURSE "${SCRATCH}")
