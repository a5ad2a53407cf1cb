# brtl.dll: the names of brtl.map, undecorated, through a module-definition file made from it at
# build time. The OLE Automation subset of the map is the system's on Windows and is left out;
# the variables the headers declare (BRTL_API extern) are exported as DATA.
set(BRTL_DEF ${PROJECT_BINARY_DIR}/brtl.def)
file(GLOB brtl_public_headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/include/brtl/*.h)
add_custom_command(OUTPUT ${BRTL_DEF}
  COMMAND ${CMAKE_COMMAND} -DMAP=${PROJECT_SOURCE_DIR}/brtl.map
          -DHEADERS=${PROJECT_SOURCE_DIR}/include/brtl -DOUTPUT=${BRTL_DEF}
          -P ${PROJECT_SOURCE_DIR}/cmake/make_def.cmake
  DEPENDS ${PROJECT_SOURCE_DIR}/brtl.map ${PROJECT_SOURCE_DIR}/cmake/make_def.cmake
          ${PROJECT_SOURCE_DIR}/cmake/export_names.cmake ${brtl_public_headers}
  COMMENT "Writing brtl.def from brtl.map")
add_custom_target(brtl_def DEPENDS ${BRTL_DEF})
add_dependencies(brtl brtl_def)
target_link_options(brtl PRIVATE ${BRTL_DEF} -Wl,--no-undefined)
set_target_properties(brtl PROPERTIES
  PREFIX ""                 # brtl.dll
  IMPORT_PREFIX "lib"       # libbrtl.dll.a, the import library
  LINK_DEPENDS ${BRTL_DEF})
