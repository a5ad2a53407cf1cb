# The export names of brtl.map and of the public headers, shared by the module-definition file
# and the checks of the built libraries.

# brtl_map_names(<out> <map>): every name of the map's global list.
function(brtl_map_names out map)
  file(READ ${map} text)
  string(REGEX REPLACE "/\\*[^*]*\\*/" "" text "${text}")
  string(REGEX MATCH "global:(.*)local:" global_part "${text}")
  string(REGEX MATCHALL "[A-Za-z_][A-Za-z0-9_]*;" names "${CMAKE_MATCH_1}")
  list(TRANSFORM names REPLACE ";$" "")
  string(REPLACE ";;" ";" names "${names}")
  set(${out} ${names} PARENT_SCOPE)
endfunction()

# brtl_data_names(<out> <header dir>): the exported variables, declared "BRTL_API extern".
function(brtl_data_names out headers)
  file(GLOB files ${headers}/*.h)
  set(names)
  foreach(file IN LISTS files)
    file(STRINGS ${file} lines REGEX "^BRTL_API extern ")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "\\[.*" "" line "${line}")
      string(REGEX REPLACE ";.*" "" line "${line}")
      if(line MATCHES "([A-Za-z_][A-Za-z0-9_]*)[ \t]*$")
        list(APPEND names ${CMAKE_MATCH_1})
      endif()
    endforeach()
  endforeach()
  set(${out} ${names} PARENT_SCOPE)
endfunction()

# The OLE Automation subset the library itself provides on POSIX; on Windows it is oleaut32's.
set(BRTL_SYSTEM_OLE_NAMES SysAllocString SysAllocStringLen SysFreeString SysStringLen VariantInit
    VariantClear VariantCopy VariantCopyInd VariantChangeType)

# brtl_windows_names(<out> <map>): the names brtl.dll exports.
function(brtl_windows_names out map)
  brtl_map_names(names ${map})
  list(REMOVE_ITEM names ${BRTL_SYSTEM_OLE_NAMES})
  set(${out} ${names} PARENT_SCOPE)
endfunction()

# brtl_require_same_names(<exported> <listed> <what>): stops with the names one list has and the
# other lacks, <what> naming the library whose exports differ from brtl.map.
function(brtl_require_same_names exported listed what)
  set(missing ${listed})
  list(REMOVE_ITEM missing ${exported})
  set(extra ${exported})
  list(REMOVE_ITEM extra ${listed})
  if(missing OR extra)
    message(FATAL_ERROR "The exports of ${what} differ from brtl.map.\n"
                        "Listed but not exported: ${missing}\nExported but not listed: ${extra}")
  endif()
endfunction()
