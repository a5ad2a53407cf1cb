# The differential test: random programs of the fuzz target's generator, each run by the
# interpreter and built by brtl build and run; both must print the same and end with the same
# status. A program the interpreter does not finish within the time limit is left out (the
# generator's programs may run long); most must be compared, or the test fails.
#   cmake -DBRTL=<tool> -DGENERATOR=<generate_programs> -DSEED=<n> -DCOUNT=<n> -DSCRATCH=<dir>
#         -P differential.cmake
file(REMOVE_RECURSE "${SCRATCH}")
file(MAKE_DIRECTORY "${SCRATCH}")
file(WRITE "${SCRATCH}/profile.ini" "[intl]\n")
set(ENV{BRTL_PROFILE} "${SCRATCH}/profile.ini")
set(ENV{XDG_CONFIG_HOME} "${SCRATCH}")
execute_process(COMMAND "${GENERATOR}" ${SEED} ${COUNT} "${SCRATCH}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the generator failed: ${status}")
endif()
set(compared 0)
set(left_out 0)
foreach(n RANGE 1 ${COUNT})
  set(name program${n})
  execute_process(COMMAND "${BRTL}" ${name}.bas WORKING_DIRECTORY "${SCRATCH}" TIMEOUT 20
    OUTPUT_VARIABLE interpreted ERROR_VARIABLE interpreted RESULT_VARIABLE interpreted_status)
  if(NOT interpreted_status MATCHES "^[0-9]+$")
    math(EXPR left_out "${left_out} + 1")
    continue()
  endif()
  execute_process(COMMAND "${BRTL}" build ${name}.bas -o ${name} WORKING_DIRECTORY "${SCRATCH}"
    OUTPUT_VARIABLE built ERROR_VARIABLE built RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${SCRATCH}/${name}.bas: brtl build failed (${status}):\n${built}")
  endif()
  execute_process(COMMAND "./${name}" WORKING_DIRECTORY "${SCRATCH}" TIMEOUT 60
    OUTPUT_VARIABLE translated ERROR_VARIABLE translated RESULT_VARIABLE translated_status)
  if(NOT translated STREQUAL interpreted OR NOT translated_status STREQUAL interpreted_status)
    file(WRITE "${SCRATCH}/${name}.interpreted" "${interpreted}")
    file(WRITE "${SCRATCH}/${name}.translated" "${translated}")
    message(FATAL_ERROR "${SCRATCH}/${name}.bas: interpreted (exit ${interpreted_status}) and "
                        "translated (exit ${translated_status}) differ; the outputs are beside it")
  endif()
  math(EXPR compared "${compared} + 1")
endforeach()
math(EXPR enough "${COUNT} / 2")
if(compared LESS enough)
  message(FATAL_ERROR "only ${compared} of ${COUNT} programs finished in time to be compared")
endif()
message(STATUS "${compared} programs gave the same output both ways; ${left_out} ran too long")
file(REMOVE_RECURSE "${SCRATCH}")
