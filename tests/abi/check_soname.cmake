execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY} OUTPUT_VARIABLE dump RESULT_VARIABLE result)
if(NOT result EQUAL 0 OR NOT dump MATCHES "SONAME +libbrtl\\.so\\.0\n")
  message(FATAL_ERROR "libbrtl does not carry the SONAME libbrtl.so.0")
endif()
