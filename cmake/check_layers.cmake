# Fails when a source file includes a header of a layer above its own, or when a file outside
# platform/ includes a header of the operating system. Layers, lowest first:
# platform < host < runtime < numeric < variant < the builtin subsystems, which may include each
# other. The public headers in include/brtl belong to the layer of the code they declare.
# Run as: cmake -DSOURCE_DIR=<root> -P check_layers.cmake
cmake_minimum_required(VERSION 3.25)

set(layer_platform 0)
set(layer_host 1)
set(layer_runtime 2)
set(layer_numeric 3)
set(layer_variant 4)
foreach(folder strings fileio format datetime financial math desktop)
  set(layer_${folder} 5)
endforeach()

# Public headers by layer.
set(public_types 0)
set(public_platform 0)
set(public_host 1)
set(public_texts 1)
set(public_runtime 2)
set(public_numeric 3)
set(public_variant 4)
foreach(header strings fileio format datetime financial math desktop brtl)
  set(public_${header} 5)
endforeach()

# The calls up the layers that the subsystems are built on, each by its public header: the
# Variant conversions take the text forms of numbers and dates from the format engine, read dates
# with the date parser and the locale's separators, and test text with the numeric scanner; the
# per-run reset and the nested-run bracket act on the file table.
set(allowed
  "variant brtl/datetime.h"
  "variant brtl/format.h"
  "variant brtl/strings.h"
  "runtime/reset.cpp brtl/fileio.h")

# The headers of an operating system's own interfaces (POSIX, Win32, X11).
set(os_headers "^[ \t]*#[ \t]*include[ \t]*<(windows|winbase|winuser|io|direct|share|unistd|fcntl|dirent|dlfcn|pthread|spawn|signal|termios|fnmatch|glob|iconv|langinfo|poll|sys/[a-z_]+|X11/[A-Za-z_]+)\\.h>")

set(violations "")
foreach(folder platform host runtime numeric variant strings fileio format datetime financial math
               desktop)
  if(NOT IS_DIRECTORY "${SOURCE_DIR}/${folder}")
    continue()
  endif()
  set(own ${layer_${folder}})
  # platform/ keeps each system's code in a folder of its own (posix/, windows/).
  file(GLOB_RECURSE files "${SOURCE_DIR}/${folder}/*.cpp" "${SOURCE_DIR}/${folder}/*.h")
  foreach(file IN LISTS files)
    file(RELATIVE_PATH file_name "${SOURCE_DIR}/${folder}" "${file}")
    # Only platform/ knows the operating system: nothing above it includes a system's headers.
    if(NOT folder STREQUAL "platform")
      file(STRINGS "${file}" system_includes REGEX "${os_headers}")
      foreach(line IN LISTS system_includes)
        string(STRIP "${line}" line)
        list(APPEND violations "${folder}/${file_name} includes a system header: ${line}")
      endforeach()
    endif()
    file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]+\"")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*" "\\1" header "${line}")
      set(rank "")
      if(header MATCHES "^brtl/([a-z_]+)\\.h$")
        set(rank ${public_${CMAKE_MATCH_1}})
      elseif(header MATCHES "^([a-z_]+)/")
        set(rank ${layer_${CMAKE_MATCH_1}})
      endif()
      if(rank STREQUAL "")
        list(APPEND violations "${folder}/${file_name}: header of no layer ${header}")
      elseif(rank GREATER own AND NOT "${folder} ${header}" IN_LIST allowed
             AND NOT "${folder}/${file_name} ${header}" IN_LIST allowed)
        list(APPEND violations "${folder}/${file_name} includes ${header}")
      endif()
    endforeach()
  endforeach()
endforeach()

if(violations)
  list(JOIN violations "\n  " text)
  message(FATAL_ERROR "Headers of a higher layer or of the system included:\n  ${text}")
endif()
message(STATUS "Layering holds")
