# Installation of the tool and the Debian package. The library, its headers, the CMake package
# and brtl.pc are installed by the rules in the top-level CMakeLists.txt.

# brtl.pc finds its prefix from its own place, so that an installed tree can move.
file(RELATIVE_PATH BRTL_PC_TO_PREFIX "/p/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/p")
string(REGEX REPLACE "/$" "" BRTL_PC_TO_PREFIX "${BRTL_PC_TO_PREFIX}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/brtl.pc.in ${PROJECT_BINARY_DIR}/brtl.pc @ONLY)

# The immediate window, which finds the library beside it in any prefix.
if(TARGET brtl_tool)
  set_target_properties(brtl_tool PROPERTIES INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
  install(TARGETS brtl_tool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/libbrtl0
        RENAME copyright)

# One Debian package, libbrtl0, with the shared library (SONAME libbrtl.so.0), the headers, the
# CMake package, brtl.pc, the brtl tool and the services translated programs link: the library is small and its only users are hosts
# that build against it, so one package serves them better than a runtime/-dev/tool split.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME libbrtl0)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The brtl authors")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Runtime library of a BASIC dialect, with the brtl tool that runs and translates its programs")
set(CPACK_PACKAGE_CONTACT "brtl maintainers <brtl@localhost>")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= 2.34), libstdc++6 (>= 12), libgcc-s1")
if(BRTL_EDITLINE_LIBRARY)
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", libedit2")
endif()
# brtl build compiles translated programs with the system's C++ compiler.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "g++")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON) # the shlibs file
# The dynamic linker's cache learns of the new library when the package is installed or removed.
file(WRITE ${PROJECT_BINARY_DIR}/debian/triggers "activate-noawait ldconfig\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_BINARY_DIR}/debian/triggers)
include(CPack)
