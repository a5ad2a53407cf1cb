# Compares the export table of brtl.dll (objdump -p) with brtl.map less the OLE Automation subset
# that is the system's on Windows.
# Run as: cmake -DLIBRARY=<brtl.dll> -DMAP=<brtl.map> -DOBJDUMP=<objdump> -P check_dll_exports.cmake
# (-DEXTRA_NAME=<name> adds a name to the map's, for the test that the check rejects a table
# that lacks one.)
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/export_names.cmake)
execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY} OUTPUT_VARIABLE dump RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} failed on ${LIBRARY}")
endif()
# The name pointer table: lines "[ n] +base[ ordinal] Name" after "[Ordinal/Name Pointer] Table".
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table[^\n]*\n(.*)" table "${dump}")
string(REGEX REPLACE "\n[ \t]*\n.*" "" table "${CMAKE_MATCH_1}")
string(REPLACE "\n" ";" lines "${table}")
set(exported)
foreach(line IN LISTS lines)
  if(line MATCHES "\\][ \t]+([A-Za-z_][A-Za-z0-9_@]*)[ \t]*$")
    list(APPEND exported "${CMAKE_MATCH_1}")
  endif()
endforeach()
brtl_windows_names(listed ${MAP})
list(APPEND listed ${EXTRA_NAME})
brtl_require_same_names("${exported}" "${listed}" ${LIBRARY})
list(LENGTH exported count)
message(STATUS "${count} exports of ${LIBRARY} match brtl.map")
