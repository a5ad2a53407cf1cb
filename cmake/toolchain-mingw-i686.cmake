# Cross-compiling brtl.dll for 32-bit Windows with the Debian MinGW-w64 compilers (the posix
# thread model). Its tests need a Wine that runs 32-bit programs.
set(BRTL_MINGW_TRIPLET i686-w64-mingw32)
set(BRTL_WINE_PROGRAM wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
