# Installs the build tree into a scratch prefix, checks what is there, and builds a program out
# of the tree against it twice: with find_package(brtl) and with pkg-config.
#   cmake -DBUILD_DIR=<build> -DSCRATCH=<dir> -DCONSUMER=<tests/install/consumer>
#         -DGENERATOR=<generator> -DC_COMPILER=<cc> -P check_install.cmake
# A cross build also gives its toolchain file (TOOLCHAIN), its C flags (C_FLAGS) and the emulator
# that runs its programs (EMULATOR, the words joined with "|").
string(REPLACE "|" ";" emulator "${EMULATOR}")
separate_arguments(c_flags UNIX_COMMAND "${C_FLAGS}")
set(toolchain)
if(TOOLCHAIN)
  set(toolchain "-DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN}")
endif()

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "failed (${rc}): ${ARGN}\n${out}\n${err}")
  endif()
  set(run_output "${out}" PARENT_SCOPE)
endfunction()

set(expected "Division by zero|1,234.50|3 32768\n")
file(REMOVE_RECURSE "${SCRATCH}")
set(prefix "${SCRATCH}/prefix")
run(${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}")

file(GLOB libdir_candidates "${prefix}/lib*/libbrtl.so.0")
list(LENGTH libdir_candidates found)
if(NOT found EQUAL 1)
  message(FATAL_ERROR "libbrtl.so.0 not installed under ${prefix}/lib*")
endif()
get_filename_component(libdir "${libdir_candidates}" DIRECTORY)
foreach(path "${libdir}/libbrtl.so" "${libdir}/cmake/brtl/brtlConfig.cmake"
             "${libdir}/cmake/brtl/brtlTargets.cmake" "${libdir}/pkgconfig/brtl.pc"
             "${prefix}/include/brtl/brtl.h" "${prefix}/bin/brtl")
  if(NOT EXISTS "${path}")
    message(FATAL_ERROR "not installed: ${path}")
  endif()
endforeach()
run(objdump -p "${libdir}/libbrtl.so.0")
if(NOT run_output MATCHES "SONAME +libbrtl\\.so\\.0\n")
  message(FATAL_ERROR "the installed library lacks the SONAME libbrtl.so.0")
endif()

# The installed tool runs from its prefix.
run(${emulator} "${prefix}/bin/brtl" -e "? 1+1")
if(NOT run_output STREQUAL " 2 \n")
  message(FATAL_ERROR "installed brtl printed '${run_output}'")
endif()

# find_package(brtl), out of the tree.
run(${CMAKE_COMMAND} -S "${CONSUMER}" -B "${SCRATCH}/cmake-build" -G "${GENERATOR}" ${toolchain}
    -DCMAKE_C_COMPILER=${C_COMPILER} -DCMAKE_PREFIX_PATH=${prefix}
    -DCMAKE_BUILD_RPATH=${libdir})
run(${CMAKE_COMMAND} --build "${SCRATCH}/cmake-build")
run(${emulator} "${SCRATCH}/cmake-build/consumer")
if(NOT run_output STREQUAL expected)
  message(FATAL_ERROR "the find_package build printed '${run_output}'")
endif()

# pkg-config, with the .pc file found through PKG_CONFIG_PATH.
set(ENV{PKG_CONFIG_PATH} "${libdir}/pkgconfig")
run(pkg-config --cflags --libs brtl)
string(STRIP "${run_output}" flags)
separate_arguments(flags UNIX_COMMAND "${flags}")
# The relocatable .pc file names the prefix it lies in.
list(FILTER flags INCLUDE REGEX "^-I")
string(REGEX REPLACE "^-I" "" include_dir "${flags}")
get_filename_component(include_dir "${include_dir}" REALPATH)
get_filename_component(expected_include "${prefix}/include" REALPATH)
if(NOT include_dir STREQUAL expected_include)
  message(FATAL_ERROR "pkg-config's include directory ${include_dir} is not ${expected_include}")
endif()
run(pkg-config --cflags --libs brtl)
string(STRIP "${run_output}" flags)
separate_arguments(flags UNIX_COMMAND "${flags}")
run(${C_COMPILER} ${c_flags} "${CONSUMER}/consumer.c" -o "${SCRATCH}/consumer-pc" ${flags}
    "-Wl,-rpath,${libdir}")
run(${emulator} "${SCRATCH}/consumer-pc")
if(NOT run_output STREQUAL expected)
  message(FATAL_ERROR "the pkg-config build printed '${run_output}'")
endif()
# The installed brtl builds a module into a program against the installed headers and libraries
# (the services' archive beside libbrtl), which finds libbrtl in the prefix.
foreach(path "${prefix}/include/brtl/services/all.h" "${libdir}/libbrtl_services.a")
  if(NOT EXISTS "${path}")
    message(FATAL_ERROR "not installed: ${path}")
  endif()
endforeach()
file(WRITE "${SCRATCH}/hello.bas" "Dim s As String\ns = \"trans\" & \"lated\"\nPrint s; 6 * 7\n")
run(${emulator} "${prefix}/bin/brtl" build "${SCRATCH}/hello.bas" -o "${SCRATCH}/hello")
run(${emulator} "${SCRATCH}/hello")
if(NOT run_output STREQUAL "translated 42 \n")
  message(FATAL_ERROR "the program the installed brtl built printed '${run_output}'")
endif()
# It finds libbrtl in the prefix, not in the build tree.
run(objdump -p "${SCRATCH}/hello")
get_filename_component(real_libdir "${libdir}" REALPATH)
if(NOT run_output MATCHES "R(UN)?PATH +${real_libdir}\n")
  message(FATAL_ERROR "the program's run path is not ${real_libdir}:\n${run_output}")
endif()
file(REMOVE_RECURSE "${SCRATCH}")
