# Cross-compiling brtl.dll for 64-bit Windows with the Debian MinGW-w64 compilers (the posix
# thread model, which std::thread and std::mutex need). Tests run under wine64.
set(BRTL_MINGW_TRIPLET x86_64-w64-mingw32)
set(BRTL_WINE_PROGRAM wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
